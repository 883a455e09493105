#!/usr/bin/env bash
# Makes the small sample pictures and clips in samples/ (run from anywhere).
# Needs ffmpeg; the Vivo clip and the two metafiles are copied from the
# shared fixtures when they are beside the checkout.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/samples"
fixtures="$(dirname "$out")/../shared/fixtures"
mkdir -p "$out"
ff() { ffmpeg -loglevel error -y "$@"; }
ff -f lavfi -i "testsrc2=size=640x480" -frames:v 1 -q:v 3 "$out/test-card.jpg"
ff -f lavfi -i "mandelbrot=size=800x600" -frames:v 1 -q:v 4 "$out/mandelbrot.jpeg"
ff -f lavfi -i "smptebars=size=320x240" -frames:v 1 "$out/bars.bmp"
ff -f lavfi -i "life=size=160x120:rate=5:mold=10:ratio=0.1" -t 2 "$out/life.gif"
ff -f lavfi -i "rgbtestsrc=size=32x32" -frames:v 1 "$out/colours.ico"
ff -f lavfi -i "cellauto=size=400x300" -frames:v 1 "$out/cells.png"
ff -f lavfi -i "testsrc=size=160x120:rate=15" -t 3 "$out/counter.avi"
ff -f lavfi -i "testsrc2=size=160x120:rate=25" -t 3 "$out/moving.mpg"
ff -f lavfi -i "smptehdbars=size=160x90:rate=15" -t 3 "$out/bars.mov"
for f in clip.viv drawing.wmf drawing.emf; do
  [ -f "$fixtures/$f" ] && cp "$fixtures/$f" "$out/$f"
done
ls -l "$out"
