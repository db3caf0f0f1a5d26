#!/usr/bin/env bash
# Builds the demo installation under BUILD/demo (afresh every time), runs the
# register program on it, then the tax agency's record books (zovllibres)
# for the year up to the demo's quarter and each owner's VAT return of that
# quarter (zov303), and tells what they produced and where.
#   scripts/demo.sh BUILD        (make demo calls it after the build)
set -euo pipefail

build=${1:-build}
[ -d "$build" ] || { echo "demo: $build does not exist; run make first" >&2; exit 1; }
build=$(cd "$build" && pwd)
bin=$build/bin
demo=$build/demo
for program in zovdata dazorov1; do
  [ -x "$bin/$program" ] || { echo "demo: $bin/$program is missing; the build did not make it" >&2; exit 1; }
done

rm -rf "$demo"
mkdir -p "$demo"
if ! "$bin/zovdata" demo "$demo" >"$demo/zovdata.log" 2>&1; then
  cat "$demo/zovdata.log" >&2
  exit 1
fi
mkdir -p "$demo/csv"

# The suite's environment. Without a desktop the document opener only names
# the CSV files; DISPLAY is dropped so that a desktop does not open a window
# per owner either.
export ZOVROOT=$demo/ ZOVEXE=$bin/ ZOVTMP=$demo/tmp/ TEMP=$demo/csv
unset DISPLAY WAYLAND_DISPLAY
spooler=yes
[ -x "$bin/dozudizi" ] || spooler=no

set +e
"$bin/dazorov1" </dev/null >"$demo/dazorov1.log" 2>&1
rc=$?
set -e
if [ "$rc" -ne 0 ]; then
  echo "demo: dazorov1 ended with exit code $rc; its output is in $demo/dazorov1.log" >&2
  tail -n 20 "$demo/dazorov1.log" >&2
  exit 1
fi

# What the register made.
owners=$(sed -n 's/^ *\([0-9,]*\) owners.*/\1/p' "$demo/zovdata.log")
shopt -s nullglob
csvs=("$demo"/csv/*.CSV)
rows=0
for f in "${csvs[@]}"; do rows=$((rows + $(wc -l <"$f") - 1)); done
print=$demo/tmp/dozudizi.tmp
pages=0
[ -f "$print" ] && pages=$(grep -c '^PAGE' "$print" || true)
correu=$(sed -n 's/^Correu=\(.*\)\r\?$/\1/p' "$demo/tmp/DOZUDIZI.INI" 2>/dev/null | tr -d '\r')

echo "Demo installation: $demo  ($owners owners; data files in DADES/, settings in Orva.ini and tmp/)"
echo "Register of 01/10/2026 to 31/12/2026: $rows register lines for ${#csvs[@]} owners"
echo "  print file  $print  ($pages pages)"
echo "  CSV files   $demo/csv/  (${#csvs[@]} files, one per owner, tax-agency layout)"
for f in "${csvs[@]}"; do echo "              $f  ($(($(wc -l <"$f") - 1)) lines)"; done
if [ "$spooler" = no ]; then
  echo "  PDF         none: the spooler $bin/dozudizi is not built yet"
else
  pdf=$demo/tmp/register.pdf
  if [ -f "$pdf" ]; then
    if command -v pdfinfo >/dev/null; then
      echo "  PDF         $pdf  ($(pdfinfo "$pdf" | sed -n 's/^Pages: *//p') pages)"
    else
      echo "  PDF         $pdf"
    fi
  else
    echo "  PDF         none: the spooler made no $pdf (see $demo/dazorov1.log)"
  fi
  mailed=("$demo"/tmp/outbox/*.pdf)
  if [ "${#mailed[@]}" -gt 0 ]; then
    echo "  to mail     ${#mailed[@]} PDFs for owners with an e-mail address in $demo/tmp/outbox/ (Correu=$correu)"
  fi
fi
echo "  log         $demo/dazorov1.log"

# A tool of the books layer on the demo, 1 January to the end of the demo's
# quarter, every owner, NIFs from the demo's owners-nif.csv: stops the demo
# unless it ran (exit 0 or 1) and wrote its manifest.
run_tool() {  # PROGRAM OUT_DIR
  set +e
  "$bin/$1" --year 2026 --quarter 4 --out "$2" </dev/null >"$demo/$1.log" 2>&1
  local rc=$?
  set -e
  if [ "$rc" -ge 2 ] || [ ! -f "$2/manifest.csv" ]; then
    echo "demo: $1 ended with exit code $rc; its output is in $demo/$1.log" >&2
    tail -n 20 "$demo/$1.log" >&2
    exit 1
  fi
}
# How many owners a manifest gives a status, in its column COLUMN.
count_status() {  # MANIFEST COLUMN STATUS
  tr -d '\r' <"$1" | awk -F';' -v c="$2" -v s="$3" 'NR > 1 && $c == s' | wc -l
}

# The tax agency's record books.
if [ -x "$bin/zovllibres" ]; then
  books=$demo/books
  run_tool zovllibres "$books"
  status() { count_status "$books/manifest.csv" 12 "$1"; }
  xlsx=("$books"/*.xlsx)
  echo "Record books of 01/01/2026 to 31/12/2026 (tax agency XLSX, one per owner): ${#xlsx[@]} books," \
       "$(status valid) valid, $(status invalid) invalid, $(status skipped) owners skipped"
  echo "  books       $books/"
  echo "  manifest    $books/manifest.csv  (one line per owner: file, rows, totals, status)"
  echo "  validation  $books/validation.csv  ($(($(wc -l <"$books/validation.csv") - 1)) findings: the agency's rule, row, message)"
  echo "  log         $demo/zovllibres.log"
else
  echo "Record books: none: $bin/zovllibres is not built"
fi

# Each owner's VAT return (model 303) of the demo's quarter, with the annual
# page of the fourth quarter.
if [ -x "$bin/zov303" ]; then
  returns=$demo/returns
  run_tool zov303 "$returns"
  count() { count_status "$returns/manifest.csv" 5 "$1"; }
  txt=("$returns"/*_303_*.txt)
  echo "VAT returns (model 303) of 4T 2026 for the agency's form: ${#txt[@]} files," \
       "$(count valid) valid, $(count invalid) invalid, $(count 'not liable') owners not liable, $(count skipped) skipped"
  echo "  returns     $returns/  (<NIF>_303_2026_4T.txt: import each in the agency's form)"
  echo "  manifest    $returns/manifest.csv  (one line per owner: file, status, boxes, result)"
  echo "  validation  $returns/validation.csv  ($(($(wc -l <"$returns/validation.csv") - 1)) findings: box, rule, message)"
  echo "  to do       add each owner's deductible VAT (and any compensation) in the form before filing"
  echo "  log         $demo/zov303.log"
else
  echo "VAT returns: none: $bin/zov303 is not built"
fi
