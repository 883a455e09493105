#!/usr/bin/env bash
# Makes the small sample pictures and clips in samples/ (run from anywhere).
# Needs ffmpeg, and cmake to build the sample writer that makes the
# Vivo clip and the two metafiles (in build/, or $BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/samples"
build="${BUILD_DIR:-$root/build}"
mkdir -p "$out"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j 2 --target make_sample
ff() { ffmpeg -loglevel error -y "$@"; }
ff -f lavfi -i "testsrc2=size=640x480" -frames:v 1 -q:v 3 "$out/test-card.jpg"
ff -f lavfi -i "mandelbrot=size=800x600" -frames:v 1 -q:v 4 "$out/mandelbrot.jpeg"
ff -f lavfi -i "smptebars=size=320x240" -frames:v 1 "$out/bars.bmp"
ff -f lavfi -i "life=size=160x120:rate=5:mold=10:ratio=0.1:seed=7" -t 2 "$out/life.gif"
ff -f lavfi -i "rgbtestsrc=size=32x32" -frames:v 1 "$out/colours.ico"
ff -f lavfi -i "cellauto=size=400x300:seed=7" -frames:v 1 "$out/cells.png"
ff -f lavfi -i "testsrc=size=160x120:rate=15" -t 3 "$out/counter.avi"
ff -f lavfi -i "testsrc2=size=160x120:rate=25" -t 3 "$out/moving.mpg"
ff -f lavfi -i "smptehdbars=size=160x90:rate=15" -t 3 "$out/bars.mov"
for kind in wmf emf; do
  "$build/make_sample" "$kind" "$out/drawing.$kind"
done
"$build/make_sample" viv "$out/clip.viv"
ls -l "$out"
