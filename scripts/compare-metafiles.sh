#!/usr/bin/env bash
# Draws every *.wmf and *.emf of a folder with LibreOffice and with the
# metafile helper, and compares the drawings: the ink of each (what is not
# white), scaled to 256 pixels on the long side; the similarity is the share
# of ink pixels of both that lie within 2 pixels of ink in the other. Prints
# one line per file below 0.8, then a summary. Files LibreOffice makes
# nothing of count as corrupted and are left out of the figures; a helper run
# over 1 s at the viewer's size counts as over time. LibreOffice draws the
# file on a page; the part of the page the drawing takes is compared.
# LibreOffice's drawings are kept in the cache folder under each file's
# checksum, since converting takes seconds a file; it runs at nice -n 5.
# --pairs FOLDER also writes both drawings of every file there, side by side.
# Usage: scripts/compare-metafiles.sh [--cache FOLDER] [--pairs FOLDER] FOLDER [build folder]
set -euo pipefail
cache=/tmp/meta-lo-cache pairs=""
while [ $# -gt 0 ]; do
  case "$1" in
    --cache) cache=$2; shift 2 ;;
    --pairs) pairs=$(realpath -m "$2"); mkdir -p "$pairs"; shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: $0 [--cache FOLDER] [--pairs FOLDER] FOLDER [build folder]" >&2; exit 2; }
folder=$(realpath "$1")
build=$(realpath "${2:-build}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/writer.sh"
writer_setup "$work" libreoffice-draw
cmake --build "$build" --target pxmetafile >/dev/null
mkdir -p "$cache" "$work/in" "$work/out" "$work/ours"

shopt -s nullglob nocaseglob
files=("$folder"/*.wmf "$folder"/*.emf)
shopt -u nocaseglob

# LibreOffice: $cache/SUM.png, its page with the drawing, and $cache/SUM.odg,
# which tells where on the page the drawing is; or $cache/SUM.unread when it
# made nothing of the file. One run converts all new files; those it left out
# (it may stop at a file it cannot read) get a run of their own.
export -f office
export writer_profile
lo_convert() { # seconds, format, files
  timeout "$1" nice -n 5 bash -c 'office "$@"' office --convert-to "$2" --outdir "$work/out" "${@:3}" || true
}
todo=()
for file in "${files[@]}"; do
  sum=$(sha256sum "$file" | cut -c1-64)
  ext=$(tr '[:upper:]' '[:lower:]' <<<"${file##*.}")
  if [ ! -e "$cache/$sum.png" ] && [ ! -e "$cache/$sum.unread" ] && [ ! -e "$work/in/$sum.$ext" ]; then
    cp "$file" "$work/in/$sum.$ext"
    todo+=("$work/in/$sum.$ext")
  fi
done
if [ ${#todo[@]} -gt 0 ]; then
  for format in png odg; do
    lo_convert $((60 + 10 * ${#todo[@]})) $format "${todo[@]}"
    for input in "${todo[@]}"; do
      sum=$(basename "${input%.*}")
      [ -s "$work/out/$sum.$format" ] || lo_convert 120 $format "$input"
    done
  done
  for input in "${todo[@]}"; do
    sum=$(basename "${input%.*}")
    if [ -s "$work/out/$sum.png" ] && [ -s "$work/out/$sum.odg" ]; then
      cp "$work/out/$sum.png" "$work/out/$sum.odg" "$cache/"
    else
      touch "$cache/$sum.unread"
    fi
  done
fi

# Ours, never cached, at the viewer's size (4096 x 4096 pixels at most).
for file in "${files[@]}"; do
  sum=$(sha256sum "$file" | cut -c1-64)
  start=$EPOCHREALTIME
  rc=0
  timeout 20 "$build/pxmetafile" "$file" 16777216 >"$work/ours/$sum.pxmf" 2>"$work/ours/$sum.why" || rc=$?
  printf '%s\t%s\t%s\t%s\t%s\n' "$sum" "$(basename "$file")" "$rc" "$start" "$EPOCHREALTIME" >>"$work/files.tsv"
done

/usr/bin/python3 "$(dirname "$0")/metafile_similarity.py" "$work/files.tsv" "$cache" "$work/ours" "$pairs"
