#!/usr/bin/env bash
# The register program on large installations: builds an installation of
# OWNERS owners with 10 properties each and 20 monthly receipts per property
# (3 of them in the register's quarter), runs dazorov1 on it under
# /usr/bin/time -v and prints one line of figures:
#   owners properties receipts lines build_s wall_s user_s sys_s lines_per_s peak_kb
#
#   bench/register_bench.sh BUILD DIR OWNERS     (REUSE=1: keep DIR when it
#                                               was built for the same size)
#
# The spooler is replaced by a program that does nothing, so the figures are
# the register's own (the spooler is measured apart by scripts/bench.sh). The
# CSV files are written and deleted owner by owner, as in a run that does not
# open them.
set -euo pipefail

build=$1
dir=$2
owners=$3
bin=$build/bin
per_owner=10
per_property=20

# REUSE=1 keeps an installation built before with the same size.
options="--owners $owners --properties-per-owner $per_owner --receipts-per-property $per_property --csv delete --seed 1"
build_s=0
if [ "${REUSE:-0}" != 1 ] || [ "$(cat "$dir/bench-options" 2>/dev/null)" != "$options" ]; then
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  start=$(date +%s.%N)
  # shellcheck disable=SC2086
  "$bin/zovdata" demo "$dir" $options >"$dir.build.log"
  end=$(date +%s.%N)
  build_s=$(echo "$end - $start" | bc)
  echo "$options" >"$dir/bench-options"
fi

# A spooler that does nothing.
stub=$dir/stub-bin
mkdir -p "$stub" "$dir/csv"
printf '#!/bin/sh\nexit 0\n' >"$stub/DOZUDIZI"
chmod +x "$stub/DOZUDIZI"
cp "$bin/dazorov1" "$stub/"

# The data files are warm in the page cache, as after the suite's other work.
ZOVROOT=$dir/ ZOVEXE=$stub/ ZOVTMP=$dir/tmp/ TEMP=$dir/csv \
  /usr/bin/time -v -o "$dir/time.txt" "$stub/dazorov1" </dev/null >"$dir/dazorov1.log" 2>&1

# Register lines: the invoice-number items of the print file (column 45,
# eight digits).
lines=$(grep -c -E '^ 45 ,[0-9]{8},' "$dir/tmp/dozudizi.tmp" || true)
wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$dir/time.txt" |
  awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }')
user=$(sed -n 's/.*User time (seconds): //p' "$dir/time.txt")
sys=$(sed -n 's/.*System time (seconds): //p' "$dir/time.txt")
peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$dir/time.txt")
rate=$(awk -v l="$lines" -v w="$wall" 'BEGIN { if (w > 0) printf "%d", l / w; else print 0 }')
properties=$((owners * per_owner))
receipts=$((properties * per_property))
echo "$owners $properties $receipts $lines $build_s $wall $user $sys $rate $peak"
