#!/usr/bin/env bash
# Reads every *.rtf of a folder with LibreOffice Writer and with the editor's
# reader (rtf_text) and compares the two: the plain texts word by word, and
# the number of pictures in the body. Prints one line per file whose word
# ratio is below 0.95 or whose picture counts differ, then a summary.
# Writer's results are kept in the cache folder under each file's checksum,
# since converting takes seconds a file. Run it at nice -n 5: it is slow.
# Usage: scripts/compare-rtf.sh [--cache FOLDER] FOLDER [build folder]
set -euo pipefail
cache=/tmp/rtf-lo-cache
if [ "${1:-}" == "--cache" ]; then cache=$2; shift 2; fi
[ $# -ge 1 ] || { echo "usage: $0 [--cache FOLDER] FOLDER [build folder]" >&2; exit 2; }
folder=$(realpath "$1")
build=$(realpath "${2:-build}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/writer.sh"
writer_setup "$work"
cmake --build "$build" --target rtf_text pxmetafile >/dev/null
mkdir -p "$cache" "$work/in" "$work/out" "$work/ours"

# Writer: $cache/SUM.txt, its text export, and $cache/SUM.odt, the document
# as it read it, or $cache/SUM.unread when it made nothing of the file.
shopt -s nullglob
for rtf in "$folder"/*.rtf; do
  sum=$(sha256sum "$rtf" | cut -c1-64)
  if [ -e "$cache/$sum.unread" ]; then continue; fi
  cp "$rtf" "$work/in/$sum.rtf"
  if [ ! -e "$cache/$sum.txt" ]; then
    office --convert-to 'txt:Text (encoded):UTF8' --outdir "$work/out" "$work/in/$sum.rtf" || true
    if [ -e "$work/out/$sum.txt" ]; then sed -e '1s/^\xEF\xBB\xBF//' "$work/out/$sum.txt" >"$cache/$sum.txt"; fi
  fi
  if [ ! -s "$cache/$sum.odt" ]; then
    office --convert-to odt --outdir "$work/out" "$work/in/$sum.rtf" || true
    if [ -s "$work/out/$sum.odt" ]; then cp "$work/out/$sum.odt" "$cache/$sum.odt"; fi
  fi
  if [ ! -e "$cache/$sum.txt" ] || [ ! -s "$cache/$sum.odt" ]; then touch "$cache/$sum.unread"; fi
done

# Ours, never cached: the reader is what changes.
for rtf in "$folder"/*.rtf; do
  sum=$(sha256sum "$rtf" | cut -c1-64)
  printf '%s\t%s\n' "$sum" "$(basename "$rtf")" >>"$work/files.tsv"
  timeout 120 "$build/rtf_text" "$rtf" >"$work/ours/$sum.out" 2>/dev/null || echo "failed" >"$work/ours/$sum.failed"
done

python3 - "$work/files.tsv" "$cache" "$work/ours" <<'PY'
import difflib, os, statistics, sys, zipfile
import xml.etree.ElementTree as ET
files, cache, ours = sys.argv[1:]
TEXT = "{urn:oasis:names:tc:opendocument:xmlns:text:1.0}"
DRAW = "{urn:oasis:names:tc:opendocument:xmlns:drawing:1.0}"

# Writer's words and pictures: its text export leaves the notes out, which
# the reader puts after the body, so they are added from the document, each
# with its mark. The pictures are those of the body (content.xml): header and
# footer pictures are in styles.xml, left out as the reader leaves headers
# and footers out.
def writer_reading(base):
    words = open(f"{base}.txt", encoding="utf-8", errors="replace").read().split()
    content = ET.fromstring(zipfile.ZipFile(f"{base}.odt").read("content.xml"))
    for note in content.iter(f"{TEXT}note"):
        citation = "".join(note.find(f"{TEXT}note-citation").itertext())
        body = " ".join("".join(p.itertext()) for p in note.find(f"{TEXT}note-body"))
        words += (citation + body).split()
    return words, sum(1 for _ in content.iter(f"{DRAW}image"))

ratios, below, differ, unread, failed = [], 0, 0, [], []
for line in open(files, encoding="utf-8"):
    checksum, name = line.rstrip("\n").split("\t")
    if os.path.exists(f"{cache}/{checksum}.unread"):
        unread.append(name)
        continue
    if os.path.exists(f"{ours}/{checksum}.failed"):
        failed.append(name)
        continue
    writer, writer_pictures = writer_reading(f"{cache}/{checksum}")
    head, _, text = open(f"{ours}/{checksum}.out", encoding="utf-8", errors="replace").read().partition("\n")
    our_pictures = int(head.split()[1])
    ratio = difflib.SequenceMatcher(None, writer, text.split(), autojunk=False).ratio() if writer or text.split() else 1.0
    ratios.append(ratio)
    notes = []
    if ratio < 0.95:
        below += 1
        notes.append(f"word ratio {ratio:.3f}")
    if writer_pictures != our_pictures:
        differ += 1
        notes.append(f"pictures {our_pictures}, Writer {writer_pictures}")
    if notes:
        print(f"{name}: {', '.join(notes)}")
for name in unread:
    print(f"{name}: Writer cannot read it")
for name in failed:
    print(f"{name}: the reader failed")
n = len(ratios)
median = statistics.median(ratios) if ratios else 0
share = 100 * below / n if n else 0
print(f"files {n}, word ratio median {median:.2f}, below 0.95: {below} ({share:.0f} %), picture counts differ: {differ}"
      + (f"; Writer cannot read {len(unread)}" if unread else "") + (f"; the reader failed on {len(failed)}" if failed else ""))
PY
