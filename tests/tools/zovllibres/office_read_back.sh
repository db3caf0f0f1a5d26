#!/bin/sh
# The books of the demo installation as a spreadsheet program reads them:
# LibreOffice (headless) converts every sheet of the first book to CSV, and
# each cell it shows must be the value openpyxl reads from the same file.
# Exits 77 (skipped) where LibreOffice is not installed.
#   office_read_back.sh ZOVDATA ZOVLLIBRES SCRIPT_DIR
set -eu
zovdata=$1
zovllibres=$2
here=$3
command -v soffice >/dev/null || { echo "office_read_back: no soffice; skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$zovdata" demo "$work/root" >/dev/null
ZOVROOT=$work/root/ ZOVTMP=$work/root/tmp/ "$zovllibres" --year 2026 --quarter 4 --out "$work/books" \
  </dev/null >/dev/null
book=$(ls "$work/books" | grep '\.xlsx$' | head -n 1)
[ -n "$book" ] || { echo "office_read_back: no book written" >&2; exit 1; }
cp "$work/books/$book" "$work/book.xlsx"
# Fields separated by ";", UTF-8, cells as shown, every sheet to its own
# file (sheet -1).
HOME=$work soffice --headless --norestore "-env:UserInstallation=file://$work/profile" \
  --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1,,0,false,true,true,false,false,-1' \
  --outdir "$work/out" "$work/book.xlsx" >"$work/soffice.log" 2>&1 ||
  { cat "$work/soffice.log" >&2; exit 1; }
exec /usr/bin/python3 "$here/office_compare.py" "$work/book.xlsx" "$work/out"
