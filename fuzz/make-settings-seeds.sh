#!/usr/bin/env bash
# Writes the seed files of the settings reader's fuzz corpus: a plain file,
# QSettings' quoting, a damaged file, a UTF-16 file and escapes.
set -euo pipefail
out="$(cd "$(dirname "$0")" && pwd)/corpus/settings_reader"
mkdir -p "$out"
printf '[Pixalto]\nUser=Ann Lee\nPicPattern="*.jpg;*.gif"\nOnTop=1\ndefaultcopydir=/home/ann/copies/\n' > "$out/plain.ini"
printf '; kept\n[Other]\na=1\n[Pixalto]\nUser="quote \\" and \\\\ back"\nUserReq=0\n' > "$out/quoted.ini"
printf '[Pixalto]\nOnTop=1\n[junk\nUser=Bob\n\xff\xfe bad\nSpcSetting=nosplash\n' > "$out/damaged.ini"
printf '[Pixalto]\nUser=Bob\n' | iconv -t UTF-16 > "$out/utf16.ini"
printf '[Pixalto]\nUser=\\x4e2d\\x6587\nA\x00B=2\n' > "$out/escapes.ini"
