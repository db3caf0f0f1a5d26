#!/usr/bin/env bash
# zovllibres on a large agency (bench/perf_agency.sh: OWNERS owners of the
# perf-peer's generator GEN), the books of 2026 up to the fourth quarter (8
# receipts a property) under /usr/bin/time -v. Prints one line of figures:
#   owners books rows wall_s user_s sys_s rows_per_s peak_kb
#
#   bench/books_bench.sh BUILD DIR OWNERS GEN     (REUSE=1 keeps DIR's data)
set -euo pipefail

build=$(cd "$1" && pwd)
dir=$2
owners=$3
gen=$4
bin=$build/bin
root=$dir/root

bash "$(dirname "$0")/perf_agency.sh" "$build" "$dir" "$owners" "$gen"

rm -rf "$dir/books"
set +e
ZOVROOT=$root/ ZOVTMP=$root/tmp/ \
  /usr/bin/time -v -o "$dir/time.txt" "$bin/zovllibres" --year 2026 --quarter 4 --out "$dir/books" \
  </dev/null >"$dir/zovllibres.log" 2>&1
set -e

books=$(ls "$dir/books" | grep -c '\.xlsx$' || true)
rows=$(tr -d '\r' <"$dir/books/manifest.csv" | awk -F';' 'NR > 1 { s += $6 } END { print s + 0 }')
wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$dir/time.txt" |
  awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }')
user=$(sed -n 's/.*User time (seconds): //p' "$dir/time.txt")
sys=$(sed -n 's/.*System time (seconds): //p' "$dir/time.txt")
peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$dir/time.txt")
rate=$(awk -v r="$rows" -v w="$wall" 'BEGIN { if (w > 0) printf "%d", r / w; else print 0 }')
echo "$owners $books $rows $wall $user $sys $rate $peak"
