#!/usr/bin/env bash
# Figures of the register program on large installations: a quarter, a half
# and the whole of 9,999 owners, 99,990 properties and 1,999,800 receipts
# (299,970 of them in the quarter the register covers). For each size: the
# time to build the installation, the register's wall and CPU time, register
# lines per second and peak memory; then the spooler on the smallest and the
# largest print file. Targets: 50,000 register lines per second, under 64 MB
# at every size.
#   scripts/bench.sh BUILD [SIZES...]      (SIZES: owners, default 2500 5000 9999)
# REUSE=1 runs on the installations of an earlier run instead of building
# them again (build_s is then 0).
set -euo pipefail

build=${1:-build}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(2500 5000 9999)
[ -d "$build" ] || { echo "bench: $build does not exist; run make first" >&2; exit 1; }
build=$(cd "$build" && pwd)
for program in zovdata dazorov1; do
  [ -x "$build/bin/$program" ] || { echo "bench: $build/bin/$program is missing" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "bench: /usr/bin/time is missing (Debian package time; scripts/setup.sh installs it)" >&2; exit 1; }
here=$(cd "$(dirname "$0")/.." && pwd)
work=$build/bench-data

printf '%-8s %10s %10s %9s %8s %8s %8s %11s %8s\n' owners receipts lines build_s wall_s cpu_s us/line lines/s peak_MB
results=()
for owners in "${sizes[@]}"; do
  read -r o props receipts lines build_s wall user sys rate peak < <(bash "$here/bench/register_bench.sh" "$build" "$work/$owners" "$owners")
  cpu=$(echo "$user + $sys" | bc)
  per_line=$(awk -v c="$wall" -v l="$lines" 'BEGIN { if (l > 0) printf "%.2f", c * 1e6 / l; else print "-" }')
  printf '%-8s %10s %10s %9.1f %8.2f %8.2f %8s %11s %8.1f\n' "$o" "$receipts" "$lines" "$build_s" "$wall" "$cpu" \
    "$per_line" "$rate" "$(echo "$peak / 1024" | bc -l)"
  results+=("$o $lines $wall $peak $rate")
done

# Verdict against the targets.
status=0
for r in "${results[@]}"; do
  read -r o lines wall peak rate <<<"$r"
  if [ "$rate" -lt 50000 ]; then echo "below target: $o owners, $rate lines/s (target 50,000)"; status=1; fi
  if [ "$peak" -ge $((64 * 1024)) ]; then echo "above target: $o owners, peak $((peak / 1024)) MB (target 64 MB)"; status=1; fi
done

# The spooler, measured apart on the smallest and the largest print file,
# with mail on (register.pdf and the outbox together). Targets: 2,000 pages a
# second, under 64 MB.
for owners in $(printf '%s\n' "${sizes[0]}" "${sizes[-1]}" | uniq); do
  dir=$work/$owners
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
echo "installations and logs in $work"
exit $status
