#!/usr/bin/env bash
# Reads every *.rtf of a folder with LibreOffice Writer and with the editor's
# reader (rtf_text) and compares the two: the plain texts word by word, and
# the number of pictures in the body. Prints one line per file whose word
# ratio is below 0.95 or whose picture counts differ, then a summary.
# Writer's results are kept in the cache folder under each file's checksum,
# since converting takes seconds a file. Run it at nice -n 5: it is slow.
# --diff prints, under each file below 0.95, the words that differ.
# Usage: scripts/compare-rtf.sh [--cache FOLDER] [--diff] FOLDER [build folder]
set -euo pipefail
cache=/tmp/rtf-lo-cache diff=0
while [ $# -gt 0 ]; do
  case "$1" in
    --cache) cache=$2; shift 2 ;;
    --diff) diff=1; shift ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: $0 [--cache FOLDER] [--diff] FOLDER [build folder]" >&2; exit 2; }
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

python3 - "$work/files.tsv" "$cache" "$work/ours" "$diff" <<'PY'
import difflib, os, statistics, sys, zipfile
import xml.etree.ElementTree as ET
files, cache, ours, show_diff = sys.argv[1:]
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

# difflib's ratio, but with Writer's bullets matching any one character:
# its text export shows every bullet as •, ◦ or ▪ by the list level,
# whatever character the list gives.
def similarity(matcher):
    same = 0
    for tag, i1, i2, j1, j2 in matcher.get_opcodes():
        if tag == "equal":
            same += i2 - i1
        elif tag == "replace":
            same += sum(1 for w, o in zip(matcher.a[i1:i2], matcher.b[j1:j2]) if w in "•◦▪" and len(o) == 1)
    return 2 * same / (len(matcher.a) + len(matcher.b))

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
    matcher = difflib.SequenceMatcher(None, writer, text.split(), autojunk=False)
    ratio = similarity(matcher) if writer or text.split() else 1.0
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
    if ratio < 0.95 and show_diff == "1":
        for tag, i1, i2, j1, j2 in matcher.get_opcodes():
            if tag != "equal":
                print(f"  Writer: {' '.join(writer[i1:i2])!r}\n  ours:   {' '.join(matcher.b[j1:j2])!r}")
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
