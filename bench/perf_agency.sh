#!/usr/bin/env bash
# The large agency the books layer's benchmarks run on: the raw records of an
# independent generator (GEN, the perf-peer's gen_scale.py: OWNERS owners,
# 10 properties each, 20 monthly receipts from 2025-01 to 2026-08) loaded
# with zovdata into DIR/root, and an owners-nif.csv with a valid DNI per
# owner. Made afresh unless REUSE=1 and DIR already holds OWNERS owners.
#
#   bench/perf_agency.sh BUILD DIR OWNERS GEN
set -euo pipefail

build=$(cd "$1" && pwd)
dir=$2
owners=$3
gen=$4
bin=$build/bin
root=$dir/root

if [ "${REUSE:-0}" = 1 ] && [ "$(cat "$dir/bench-owners" 2>/dev/null)" = "$owners" ]; then
  exit 0
fi
rm -rf "$dir"
mkdir -p "$dir/raw" "$root/DADES" "$root/tmp"
python3 "$gen" "$dir/raw" "$owners" >/dev/null
"$bin/zovdata" describe "$root/ddf" >/dev/null
for raw in "$dir"/raw/*.bin; do
  name=$(basename "$raw" .bin)
  "$bin/zovdata" create "$root/DADES/$name.dat" "$root/ddf/$name.xdf" >/dev/null
  "$bin/zovdata" load "$root/DADES/$name.dat" "$raw" >/dev/null
done
python3 - "$owners" >"$root/owners-nif.csv" <<'PY'
import sys
for code in range(1, int(sys.argv[1]) + 1):
    number = 10000000 + code * 7
    print('%04d;%08d%s\r' % (code, number, 'TRWAGMYFPDXBNJZSQVHLCKE'[number % 23]))
PY
echo "$owners" >"$dir/bench-owners"
