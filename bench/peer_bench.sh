#!/usr/bin/env bash
# The register program beside the SQL-export peer (../shared/perf-peer: the
# same rows exported with one query through the sqlite3 shell), on the same
# agency of OWNERS owners, in the same run: RUNS rounds, each running both
# one after the other (which goes first alternates), and the medians of the
# wall times. Prints one line:
#   owners lines register_s peer_s ratio register_peak_kb peer_peak_kb
#
#   bench/peer_bench.sh BUILD DIR OWNERS [RUNS]      (RUNS: default 5)
#
# DIR keeps the generated records, the peer's database and the register's
# installation (built from the same records through `zovdata create` and
# `zovdata load`); a DIR built before for the same size is reused. The
# register runs with a spooler that does nothing and writes its print file
# and its CSV files, deleting each owner's at the owner's end; the peer
# writes only its CSV.
set -euo pipefail

build=$1
dir=$2
owners=$3
runs=${4:-5}
# The program runs with absolute folders whatever the caller gave.
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
# The peer sits beside the repository (../shared); from a linked worktree,
# beside the main checkout. PEER_DIR overrides.
peer=${PEER_DIR:-$here/../shared/perf-peer}
if [ -z "${PEER_DIR:-}" ] && [ ! -d "$peer" ]; then
  common=$(git -C "$here" rev-parse --path-format=absolute --git-common-dir 2>/dev/null || true)
  [ -n "$common" ] && peer=$(dirname "$common")/../shared/perf-peer
fi
bin=$build/bin
[ -f "$peer/gen_scale.py" ] && [ -f "$peer/peer_query.sql" ] || { echo "peer_bench: no peer in $peer" >&2; exit 1; }
command -v sqlite3 >/dev/null || { echo "peer_bench: sqlite3 is missing (Debian package sqlite3)" >&2; exit 1; }

if [ "$(cat "$dir/built-for" 2>/dev/null)" != "$owners" ]; then
  rm -rf "$dir"
  mkdir -p "$dir"
  python3 "$peer/gen_scale.py" "$dir/raw" "$owners" >/dev/null
  sqlite3 "$dir/peer.db" <"$dir/raw/peer.sql" >/dev/null
  # The installation's settings and descriptions from a one-owner demo;
  # every data file is then created empty and the agency's records loaded.
  inst=$dir/inst
  "$bin/zovdata" demo "$inst" --owners 1 --csv delete >/dev/null
  for xdf in "$inst"/ddf/*.xdf; do
    name=$(basename "$xdf" .xdf)
    rm -f "$inst/DADES/$name.dat" "$inst/DADES/$name.dat"-*
    "$bin/zovdata" create "$inst/DADES/$name.dat" "$xdf" >/dev/null
    if [ -f "$dir/raw/$name.bin" ]; then
      "$bin/zovdata" load "$inst/DADES/$name.dat" "$dir/raw/$name.bin" >/dev/null
    fi
  done
  cp "$dir/raw/pent.tmp" "$inst/tmp/pent.tmp"
  echo "$owners" >"$dir/built-for"
fi
inst=$dir/inst
stub=$dir/stub-bin
mkdir -p "$stub" "$dir/csv"
printf '#!/bin/sh\nexit 0\n' >"$stub/DOZUDIZI"
chmod +x "$stub/DOZUDIZI"
cp "$bin/dazorov1" "$stub/"

# Seconds and peak kB of one run, from /usr/bin/time -v's report.
figures() {
  local wall peak
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$1" |
    awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }')
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$1")
  echo "$wall $peak"
}
run_register() {
  ZOVROOT=$inst/ ZOVEXE=$stub/ ZOVTMP=$inst/tmp/ TEMP=$dir/csv \
    /usr/bin/time -v -o "$dir/register-time.txt" "$stub/dazorov1" </dev/null >"$dir/register.log" 2>&1
  figures "$dir/register-time.txt" >>"$dir/register-runs"
}
run_peer() {
  /usr/bin/time -v -o "$dir/peer-time.txt" sqlite3 "$dir/peer.db" <"$peer/peer_query.sql" >"$dir/peer.csv"
  figures "$dir/peer-time.txt" >>"$dir/peer-runs"
}
rm -f "$dir/register-runs" "$dir/peer-runs"
for ((i = 0; i < runs; i++)); do
  if ((i % 2 == 0)); then run_register; run_peer; else run_peer; run_register; fi
done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
register_s=$(cut -d' ' -f1 "$dir/register-runs" | median)
peer_s=$(cut -d' ' -f1 "$dir/peer-runs" | median)
register_kb=$(cut -d' ' -f2 "$dir/register-runs" | sort -n | tail -1)
peer_kb=$(cut -d' ' -f2 "$dir/peer-runs" | sort -n | tail -1)
lines=$(wc -l <"$dir/peer.csv")
ratio=$(awk -v r="$register_s" -v p="$peer_s" 'BEGIN { printf "%.2f", (p > 0) ? r / p : 0 }')
echo "$owners $lines $register_s $peer_s $ratio $register_kb $peer_kb"
