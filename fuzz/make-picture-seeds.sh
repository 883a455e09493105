#!/usr/bin/env bash
# Writes the seed files of the picture checks' fuzz corpus: a small picture
# of each format (HEIC, AVIF and JPEG XL included), a two-frame GIF, a
# three-frame animated PNG, the metafile headers and the damaged cases
# the loader must refuse (cut off, a frame larger than the data, a WebP
# without payload). Usage: make-picture-seeds.sh BUILD_DIR
set -euo pipefail
make_sample="${1:?usage: $0 BUILD_DIR}/make_sample"
out="$(cd "$(dirname "$0")" && pwd)/corpus/picture_checks"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for ext in bmp png ppm tiff webp xbm jpg; do
  ffmpeg -loglevel error -y -f lavfi -i testsrc=size=8x6:rate=1 -frames:v 1 -update 1 "$work/p.$ext"
  cp "$work/p.$ext" "$out/${ext}_8x6"
done
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=8x6:rate=10 -frames:v 2 -f gif "$out/gif_8x6_two_frames"
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=8x6:rate=10 -frames:v 3 -plays 0 -f apng "$out/apng_8x6_three_frames"
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=8x6:rate=1 -frames:v 1 -c:v libwebp -lossless 1 \
  -f webp "$out/webp_lossless"

# HEIC, AVIF and JPEG XL from their libraries' encoders, and two cut off.
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=16x16:rate=1 -frames:v 1 -update 1 "$work/h.png"
heif-enc -q 50 -o "$out/heic_16x16" "$work/h.png" >/dev/null
avifenc "$work/h.png" "$work/h.avif" >/dev/null && cp "$work/h.avif" "$out/avif_16x16"
head -c $(($(stat -c %s "$out/heic_16x16") / 2)) "$out/heic_16x16" > "$out/heic_cut"
cjxl "$work/h.png" "$work/h.jxl" >/dev/null 2>&1 && cp "$work/h.jxl" "$out/jxl_16x16"
head -c $(($(stat -c %s "$out/jxl_16x16") / 2)) "$out/jxl_16x16" > "$out/jxl_cut"

# An icon holding the PNG: header, one directory entry, the image.
png="$out/png_8x6"
size=$(stat -c %s "$png")
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
{ printf '\x00\x00\x01\x00\x01\x00' ; printf '\x08\x06\x00\x00\x01\x00\x20\x00'; printf "$(le32 "$size")"; printf "$(le32 22)"; cat "$png"; } > "$out/ico_8x6"

jpg="$out/jpg_8x6"
head -c $(($(stat -c %s "$jpg") / 2)) "$jpg" > "$out/jpg_cut"
head -c $(($(stat -c %s "$out/tiff_8x6") - 20)) "$out/tiff_8x6" > "$out/tiff_cut"
# The frame header claims 999 x 999 pixels over 8 x 6 of data.
cp "$jpg" "$out/jpg_frame_beyond_data"
sof=$(LC_ALL=C grep -obUaP '\xff\xc0' "$jpg" | head -1 | cut -d: -f1)
printf '\x03\xe7\x03\xe7' | dd of="$out/jpg_frame_beyond_data" bs=1 seek=$((sof + 5)) conv=notrunc status=none
webp="$out/webp_8x6"
{ head -c 30 "$webp"; head -c $(($(stat -c %s "$webp") - 30)) /dev/zero; } > "$out/webp_zero_payload"

"$make_sample" wmf "$work/d.wmf"
"$make_sample" emf "$work/d.emf"
head -c 40 "$work/d.wmf" > "$out/wmf_header"
head -c 88 "$work/d.emf" > "$out/emf_header"
