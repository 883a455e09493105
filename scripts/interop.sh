#!/usr/bin/env bash
# Checks the editor's rich text against LibreOffice Writer (make interop; not
# part of make test). Installs Writer when it is missing, then:
#  1. converts every RTF file the RTF tests write to text and to ODT, and
#     checks the text and the number of pictures against what the test wrote
#     beside each file;
#  2. makes ODT documents with Writer (from text, and from HTML with
#     formatting and a picture), converts them to RTF with Writer and reads
#     them back with the program's reader (rtf_text).
# Usage: scripts/interop.sh [build folder]
set -euo pipefail
build=$(realpath "${1:-build}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/writer.sh"
writer_setup "$work"
cmake --build "$build" --target test_rtf rtf_text pxmetafile
mkdir -p "$work/written" "$work/out" "$work/odt"

failed=0 passed=0
check() { # name, expected, actual
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $1"; diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | head -10 || true
  fi
}
# Writer's text export starts with a byte order mark and ends lines with LF.
plain() { sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r$//' "$1"; }

PIXALTO_RTF_OUT="$work/written" QT_QPA_PLATFORM=offscreen "$build/test_rtf" >/dev/null
for rtf in "$work"/written/*.rtf; do
  name=$(basename "$rtf" .rtf)
  office --convert-to 'txt:Text (encoded):UTF8' --outdir "$work/out" "$rtf"
  office --convert-to odt --outdir "$work/out" "$rtf"
  check "$name: text" "$(plain "${rtf%.rtf}.txt")" "$(plain "$work/out/$name.txt")"
  pictures=$(unzip -Z1 "$work/out/$name.odt" | grep -c '^Pictures/.' || true)
  check "$name: pictures" "$(cat "${rtf%.rtf}.pictures")" "$pictures"
done

# Documents made by Writer, read back by the program.
printf 'First line\twith a tab\nSecond: caf\xc3\xa9 \xe2\x82\xac \xd0\x96 \xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x98\x80\n\nAfter an empty line\n' \
  >"$work/odt/unicode.txt"
seq 1 2000 | sed 's/^/Paragraph number /' >"$work/odt/long.txt"
cat >"$work/odt/formatted.html" <<'HTML'
<html><body><p>Plain <b>bold</b> <i>italic</i> <u>under</u> <span style="color:#ff0000">red</span></p>
<p><img src="data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4z8AAAAMBAQDJ/pLvAAAAAElFTkSuQmCC" width="40" height="40"> after the picture</p></body></html>
HTML
for txt in "$work"/odt/unicode.txt "$work"/odt/long.txt; do
  office --infilter='Text (encoded):UTF8' --convert-to odt --outdir "$work/odt" "$txt"
done
office --infilter='HTML (StarWriter)' --convert-to odt --outdir "$work/odt" "$work/odt/formatted.html"
for odt in "$work"/odt/*.odt; do
  office --convert-to rtf --outdir "$work/odt/rtf" "$odt"
done
for name in unicode long; do
  read_back=$("$build/rtf_text" "$work/odt/rtf/$name.rtf")
  check "$name.odt: text" "$(cat "$work/odt/$name.txt")" "$(tail -n +2 <<<"$read_back" | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}')"
done
read_back=$("$build/rtf_text" "$work/odt/rtf/formatted.rtf")
check "formatted.odt: text" "Plain bold italic under red
 after the picture" "$(tail -n +2 <<<"$read_back" | sed '/^$/d')"
check "formatted.odt: pictures" "pictures 1" "$(head -1 <<<"$read_back")"

echo "interop: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
