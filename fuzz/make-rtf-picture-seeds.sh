#!/usr/bin/env bash
# Writes the seed files of the fuzz corpus of opening RTF documents with
# pictures: one document for each picture format the editor reads (PNG, JPEG,
# DIB, WMF without its placeable header, EMF), scaled, as raw \bin bytes, in
# a \shppict with its \nonshppict twin, and one mixing shown pictures with
# damaged and unknown ones. The pictures are tiny so that each input is quick.
# Usage: make-rtf-picture-seeds.sh BUILD_DIR
set -euo pipefail
make_sample="${1:?usage: $0 BUILD_DIR}/make_sample"
out="$(cd "$(dirname "$0")" && pwd)/corpus/rtf_pictures"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for ext in png jpg bmp; do
  ffmpeg -loglevel error -y -f lavfi -i testsrc=size=8x6:rate=1 -frames:v 1 -update 1 "$work/p.$ext"
done
"$make_sample" wmf "$work/d.wmf" 16 12
"$make_sample" emf "$work/d.emf" 16 12
tail -c +15 "$work/p.bmp" > "$work/p.dib"
tail -c +23 "$work/d.wmf" > "$work/bare.wmf"
head -c 60 "$work/p.png" > "$work/cut.png"

hex() { od -An -v -tx1 "$1" | tr -d ' \n'; }
# pict WORDS FILE: a picture group of the file's bytes in hexadecimal.
pict() { printf '{\\pict%s\n%s}' "$1" "$(hex "$2")"; }
document() { printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Sans;}}\\pard\\f0\\fs20 %s\\par}\n' "$1"; }

document "a$(pict '\pngblip\picw8\pich6\picwgoal120\pichgoal90' "$work/p.png")b" > "$out/png.rtf"
document "$(pict '\jpegblip\picw8\pich6' "$work/p.jpg")" > "$out/jpeg.rtf"
document "$(pict '\dibitmap0\picw8\pich6' "$work/p.dib")" > "$out/dib.rtf"
# A metafile's \picw and \pich are hundredths of a millimetre: 16 x 12 pixels.
document "$(pict '\wmetafile8\picw423\pich317' "$work/bare.wmf")" > "$out/wmf.rtf"
document "$(pict '\emfblip\picw423\pich317\picwgoal240\pichgoal180' "$work/d.emf")" > "$out/emf.rtf"
document "$(pict '\pngblip\picscalex50\picscaley300' "$work/p.png")" > "$out/scaled.rtf"
{ printf '{\\rtf1 {\\pict\\pngblip\\bin%d ' "$(stat -c %s "$work/p.png")"; cat "$work/p.png"; printf '}}\n'; } > "$out/bin.rtf"
document "{\\*\\shppict$(pict '\pngblip' "$work/p.png")}{\\nonshppict$(pict '\wmetafile8' "$work/bare.wmf")}" \
  > "$out/shppict.rtf"
document "$(pict '\pngblip' "$work/cut.png") one $(pict '\macpict' "$work/p.png") two \
$(pict '\emfblip' "$work/cut.png") three $(pict '\jpegblip\picwgoal30000' "$work/p.jpg")" > "$out/mixed.rtf"
