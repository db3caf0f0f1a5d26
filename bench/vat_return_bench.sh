#!/usr/bin/env bash
# zov303 on a large agency (bench/perf_agency.sh: OWNERS owners of the
# perf-peer's generator GEN): the returns of the fourth quarter of 2026 with
# the annual page, which walk the whole year (8 receipts a property), RUNS
# times (default 5) under /usr/bin/time -v. Each run writes into a folder of
# its own, all removed at the end: files deleted just before a run make
# ext4's choice of new inodes slower, which a real run never meets. Prints
# one line of figures (wall times of the runs: median, least, most; peak
# memory: the most of any run; load: the 1-minute load average before the
# first run):
#   owners returns median_s min_s max_s owners_per_s peak_kb load
#
#   bench/vat_return_bench.sh BUILD DIR OWNERS GEN     (REUSE=1 keeps DIR's data)
set -euo pipefail

build=$(cd "$1" && pwd)
dir=$2
owners=$3
gen=$4
bin=$build/bin
root=$dir/root

bash "$(dirname "$0")/perf_agency.sh" "$build" "$dir" "$owners" "$gen"

rm -rf "$dir"/returns-*
load=$(cut -d' ' -f1 /proc/loadavg)
walls=()
peak=0
for run in $(seq "${RUNS:-5}"); do
  out=$dir/returns-$run
  set +e
  ZOVROOT=$root/ ZOVTMP=$root/tmp/ \
    /usr/bin/time -v -o "$dir/time-303.txt" "$bin/zov303" --year 2026 --quarter 4 --out "$out" \
    </dev/null >"$dir/zov303.log" 2>&1
  set -e
  walls+=("$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$dir/time-303.txt" |
    awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }')")
  kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$dir/time-303.txt")
  [ "$kb" -gt "$peak" ] && peak=$kb
done
returns=$(ls "$out" | grep -c '_303_.*\.txt$' || true)
manifest_owners=$(($(tr -d '\r' <"$out/manifest.csv" | wc -l) - 1))
rm -rf "$dir"/returns-*
read -r median least most < <(printf '%s\n' "${walls[@]}" | sort -n |
  awk '{ w[NR] = $1 } END { printf "%s %s %s\n", w[int((NR + 1) / 2)], w[1], w[NR] }')
rate=$(awk -v o="$manifest_owners" -v w="$median" 'BEGIN { if (w > 0) printf "%d", o / w; else print 0 }')
echo "$owners $returns $median $least $most $rate $peak $load"
