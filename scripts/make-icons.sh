#!/usr/bin/env bash
# Renders the program icon's PNG sizes for the hicolor theme from the SVG.
# The PNGs are committed; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "pixalto-$size.png" pixalto.svg
done
