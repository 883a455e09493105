#!/usr/bin/env bash
# Makes the screenshot of the AppStream metadata: the built viewer on a
# virtual display, started with a sample picture as a file manager would.
# The viewer runs in a mount namespace of its own where the samples are the
# Pictures folder of a neutral home, so that no folder of this machine shows.
# Usage: scripts/make-screenshot.sh [BUILD_DIR] [DISPLAY_NUMBER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
display=":${2:-97}"
out="$root/packaging/screenshots/main-window.png"
home=/home/guest
pictures="$home/Pictures"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A known user whose start-up asks nothing, in a settings folder of its own.
mkdir -p "$work/config/Orvenko Soft" "$work/data"
cat > "$work/config/Orvenko Soft/Pixalto.ini" <<INI
[Pixalto]
User=Guest
UserReq=0
SpcSetting=NoSplash
OLE=0
AutoZoom=1
Systray=0
startupdir=$pictures/
INI

Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
pids+=($!)
sleep 1
DISPLAY="$display" openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1
DISPLAY="$display" HOME="$home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  unshare --mount --map-root-user sh -c '
    mount -t tmpfs tmpfs /home && mkdir -p "$1" && cp -r "$2"/. "$1" && shift 2 && exec "$@"' \
  sh "$pictures" "$root/samples" "$build/pixalto" "$pictures/mandelbrot.jpeg" >/dev/null 2>&1 &
pids+=($!)
sleep 6
mkdir -p "$(dirname "$out")"
import -display "$display" -window root "$out"
echo "Wrote $out"
