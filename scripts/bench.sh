#!/usr/bin/env bash
# Figures of the register program at agency scale, each measured against a
# reference in the same run, as ratios (the machine is noisy):
#  - the register beside the SQL-export peer (bench/peer_bench.sh) on the
#    same agency: median wall times, their ratio (target: at most 0.7),
#    register lines per second and peak memory (target: under 32 MB);
#  - the record manager beside bare SQLite (build/bench/recman_bench): get
#    equal against a bare prepared statement (target: within 1.2) and get
#    next against one statement stepping the index (target: within 2), in
#    CPU time; the targets hold with read snapshots (the default), the
#    figures without them are shown for scale;
#  - the spooler on the smallest and the largest size's print file, with
#    mail on (register.pdf and the outbox together): pages a second (target:
#    2,000) and peak memory (target: under 64 MB);
#  - zovllibres on the largest size's agency, the books of the whole year:
#    rows a second (target: 50,000) and peak memory (target: under 64 MB);
#  - zov303 on the same agency, the fourth quarter's returns with the annual
#    page: owners a second, the median wall time of RUNS runs (target: under
#    3 s) and peak memory (target: under 64 MB).
#   scripts/bench.sh BUILD [SIZES...]    (SIZES: owners, default 2500 9999)
# RUNS (default 5) rounds per size. The agencies are kept in
# BUILD/bench-data and reused by later runs.
set -euo pipefail

build=${1:-build}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(2500 9999)
[ -d "$build" ] || { echo "bench: $build does not exist; run make first" >&2; exit 1; }
build=$(cd "$build" && pwd)
for program in zovdata dazorov1; do
  [ -x "$build/bin/$program" ] || { echo "bench: $build/bin/$program is missing" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "bench: /usr/bin/time is missing (Debian package time; scripts/setup.sh installs it)" >&2; exit 1; }
here=$(cd "$(dirname "$0")/.." && pwd)
work=$build/bench-data
status=0

printf '%-8s %8s %11s %8s %7s %10s %12s %12s\n' owners lines register_s peer_s ratio lines/s register_MB peer_MB
for owners in "${sizes[@]}"; do
  read -r o lines reg_s peer_s ratio reg_kb peer_kb < <(bash "$here/bench/peer_bench.sh" "$build" "$work/$owners" "$owners" "${RUNS:-5}")
  rate=$(awk -v l="$lines" -v w="$reg_s" 'BEGIN { if (w > 0) printf "%d", l / w; else print 0 }')
  printf '%-8s %8s %11.2f %8.2f %7s %10s %12.1f %12.1f\n' "$o" "$lines" "$reg_s" "$peer_s" "$ratio" "$rate" \
    "$(echo "$reg_kb / 1024" | bc -l)" "$(echo "$peer_kb / 1024" | bc -l)"
  if awk -v r="$ratio" 'BEGIN { exit !(r > 0.7) }'; then echo "  above target: ratio $ratio (target 0.7)"; status=1; fi
  if [ "$reg_kb" -ge $((32 * 1024)) ]; then echo "  above target: peak $((reg_kb / 1024)) MB (target 32 MB)"; status=1; fi
done

# The record manager against bare SQLite, in CPU time (benchmark's csv:
# name,iterations,real_time,cpu_time,...).
if [ -x "$build/bench/recman_bench" ]; then
  "$build/bench/recman_bench" --benchmark_format=csv 2>/dev/null >"$work/recman_bench.csv" || true
  awk -F, '
    { gsub(/"/, "", $1); sub(/\/min_time:.*/, "", $1); cpu[$1] = $4 }
    function ratio(label, a, b, target) {
      if (cpu[a] == "" || cpu[b] == 0) return
      r = cpu[a] / cpu[b]
      note = (target != "" && r > target) ? "  above target " target : ""
      printf "%-44s %8.0f ns %8.0f ns %6.2f%s\n", label, cpu[a], cpu[b], r, note
    }
    END {
      printf "%-44s %11s %11s %6s\n", "engine / bare SQLite (CPU time)", "engine", "bare", "ratio"
      ratio("get equal, read snapshot", "BM_EngineGetEqual/2", "BM_BareGetEqual", 1.2)
      ratio("get equal, a transaction per read", "BM_EngineGetEqual/0", "BM_BareGetEqual", "")
      ratio("get next, read snapshot (kept scan)", "BM_EngineGetNext/2", "BM_BareScanStep", 2)
      ratio("get next, a transaction per read", "BM_EngineGetNext/0", "BM_BareScanStep", "")
    }' "$work/recman_bench.csv"
fi

# The spooler, measured apart on the smallest and the largest print file,
# with mail on (register.pdf and the outbox together). Targets: 2,000 pages a
# second, under 64 MB.
for owners in $(printf '%s\n' "${sizes[0]}" "${sizes[-1]}" | uniq); do
  dir=$work/$owners/inst
  [ -x "$build/bin/dozudizi" ] && [ -f "$dir/tmp/dozudizi.tmp" ] || continue
  printf '[Opcions]\r\nCorreu=S\r\n' >"$dir/tmp/DOZUDIZI.INI"
  start=$(date +%s.%N)
  ZOVROOT=$dir/ ZOVEXE=$build/bin/ ZOVTMP=$dir/tmp/ \
    /usr/bin/time -v -o "$dir/spooler-time.txt" "$build/bin/dozudizi" </dev/null >"$dir/spooler.log" 2>&1 || true
  end=$(date +%s.%N)
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$dir/spooler-time.txt")
  pages=$(grep -c '^PAGE' "$dir/tmp/dozudizi.tmp" || true)
  rate=$(echo "$pages / ($end - $start)" | bc)
  echo "spooler on $pages pages: $(tail -n 1 "$dir/spooler.log" | sed 's/.*; \([0-9]* owner PDFs\).*/\1/'), wall $(echo "$end - $start" | bc) s, $rate pages/s, peak $((peak / 1024)) MB"
  if [ "$rate" -lt 2000 ]; then echo "below target: spooler $rate pages/s (target 2,000)"; status=1; fi
  if [ "$peak" -ge $((64 * 1024)) ]; then echo "above target: spooler peak $((peak / 1024)) MB (target 64 MB)"; status=1; fi
done
# zovllibres: the record books of the whole year on the largest agency
# (targets: 50,000 rows a second, under 64 MB).
if [ -x "$build/bin/zovllibres" ]; then
  peer=${PEER_DIR:-$here/../shared/perf-peer}
  owners=${sizes[-1]}
  read -r o books rows wall user sys rate peak < <(REUSE=1 bash "$here/bench/books_bench.sh" "$build" "$work/books-$owners" \
    "$owners" "$peer/gen_scale.py")
  echo "zovllibres on $o owners: $books books, $rows rows, wall $wall s, $rate rows/s, peak $((peak / 1024)) MB"
  if [ "$rate" -lt 50000 ]; then echo "below target: zovllibres $rate rows/s (target 50,000)"; status=1; fi
  if [ "$peak" -ge $((64 * 1024)) ]; then echo "above target: zovllibres peak $((peak / 1024)) MB (target 64 MB)"; status=1; fi
fi
# zov303: the VAT returns of the fourth quarter with the annual page on the
# same agency (targets: under 3 s for all owners, under 64 MB).
if [ -x "$build/bin/zov303" ]; then
  peer=${PEER_DIR:-$here/../shared/perf-peer}
  owners=${sizes[-1]}
  read -r o returns median least most rate peak load < <(REUSE=1 RUNS=${RUNS:-5} bash "$here/bench/vat_return_bench.sh" \
    "$build" "$work/books-$owners" "$owners" "$peer/gen_scale.py")
  echo "zov303 on $o owners: $returns returns, wall $median s (median of ${RUNS:-5}; $least to $most), $rate owners/s," \
    "peak $((peak / 1024)) MB, load $load"
  if awk -v w="$median" 'BEGIN { exit !(w >= 3) }'; then echo "above target: zov303 $median s (target 3 s)"; status=1; fi
  if [ "$peak" -ge $((64 * 1024)) ]; then echo "above target: zov303 peak $((peak / 1024)) MB (target 64 MB)"; status=1; fi
fi
echo "agencies and logs in $work"
exit $status
