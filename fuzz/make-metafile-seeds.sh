#!/usr/bin/env bash
# Writes the seed files of the metafile drawing's fuzz corpus: the sample
# drawings as WMF (placeable and bare) and EMF, one whose frame is far larger
# than it is drawn, a tiny one, cut-off ones, an EMF framed wider than what it
# inks, one with Symbol text, one drawn in EMF+ records (whole and cut off),
# a dual one whose EMF+ records are damaged, and a WMF of every record kind
# whole, bare and cut in its bitmaps. Usage: make-metafile-seeds.sh BUILD_DIR
set -euo pipefail
make_sample="${1:?usage: $0 BUILD_DIR}/make_sample"
out="$(cd "$(dirname "$0")" && pwd)/corpus/metafile_drawing"
mkdir -p "$out"

"$make_sample" wmf "$out/drawing.wmf"
"$make_sample" emf "$out/drawing.emf"
"$make_sample" emf "$out/frame_10000.emf" 10000 10000
"$make_sample" wmf "$out/frame_3000x20.wmf" 3000 20
"$make_sample" emf "$out/one_pixel.emf" 1 1
"$make_sample" emf-margin "$out/margin.emf"
"$make_sample" emf-symbols "$out/symbols.emf"
"$make_sample" emf-plus "$out/emfplus.emf"
"$make_sample" emf-plus-dual "$out/emfplus_dual.emf"
# Without the 22-byte placeable header: the size is only known by playing it.
tail -c +23 "$out/drawing.wmf" > "$out/bare.wmf"
head -c 200 "$out/drawing.emf" > "$out/cut.emf"
head -c 120 "$out/drawing.wmf" > "$out/cut.wmf"
head -c 700 "$out/emfplus.emf" > "$out/emfplus_cut.emf"
"$make_sample" wmf-records "$out/records.wmf"
tail -c +23 "$out/records.wmf" > "$out/records_bare.wmf"
head -c 700 "$out/records.wmf" > "$out/records_cut.wmf"
