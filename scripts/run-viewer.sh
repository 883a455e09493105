#!/usr/bin/env bash
# Starts the viewer; without a display it starts a virtual one with a
# window manager so that `make run` works on a bare machine too.
set -euo pipefail
exe="$1"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then exec "$exe"; fi
echo "No display found: starting Xvfb on :99 (screen 1280x1024)."
Xvfb :99 -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
DISPLAY=:99 openbox >/dev/null 2>&1 &
DISPLAY=:99 "$exe"
