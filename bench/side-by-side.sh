#!/usr/bin/env bash
# Pixalto beside feh and qimgv on a virtual screen with a window manager:
# installs what is missing, builds the benchmark, prints the table.
# Usage: bench/side-by-side.sh [build folder] [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${2:-5}
missing=()
for command in feh qimgv xdotool Xvfb openbox dbus-run-session; do
  command -v "$command" >/dev/null || missing+=("$command")
done
if ((${#missing[@]})); then
  mapfile -t packages < <(printf "%s\n" "${missing[@]}" | sed -e "s/^Xvfb$/xvfb/" -e "s/^dbus-run-session$/dbus/")
  apt-get update && apt-get install -y "${packages[@]}"
fi
cmake --build "$build" --target bench_side_by_side
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp &
xvfb=$!
trap 'kill $openbox $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display openbox &
openbox=$!
sleep 1
# A desktop session has a message bus; without one Qt tries to start one each time.
DISPLAY=$display QT_QPA_PLATFORM=xcb dbus-run-session -- "$build/bench_side_by_side" "$rounds"
