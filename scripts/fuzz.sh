#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer in their own build directory, then runs
# each one for FUZZ_SECONDS (default 20) from its seeds in fuzz/corpus/.
# Any crash, leak or sanitizer report fails the script; the input that
# caused it is kept in <build>/fuzz-artifacts/.
#
#   bash scripts/fuzz.sh [build-dir]          (default build-fuzz)
#   FUZZ_SECONDS=600 FUZZ_ONLY=ini_file bash scripts/fuzz.sh
#
# The runs start from a fixed seed, work in a temporary directory (new inputs
# are written there, never into fuzz/corpus/) and remove it afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${FUZZ_SECONDS:-20}
only=${FUZZ_ONLY:-}

CC=clang CXX=clang++ cmake -S . -B "$build" -DZOV_FUZZ=ON -DZOV_WERROR=ON -DZOV_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target zov_fuzzers

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
failed=()
for seeds in fuzz/corpus/*/; do
  name=$(basename "$seeds")
  [ -z "$only" ] || [ "$name" = "$only" ] || continue
  target=$(pwd)/$build/fuzz/fuzz_$name
  seeds=$(pwd)/$seeds
  dir=$work/$name
  mkdir -p "$dir/new"
  if (cd "$dir" && TMPDIR=$dir "$target" -seed=1 -max_total_time="$seconds" -max_len=4096 \
        -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$dir/" \
        new "$seeds") >"$dir/log" 2>&1; then
    echo "fuzz $name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$dir/log" || echo done)"
  else
    echo "fuzz $name: FAILED" >&2
    tail -n 60 "$dir/log" >&2
    mkdir -p "$build/fuzz-artifacts"
    cp "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-* "$build/fuzz-artifacts/" 2>/dev/null || true
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz targets failed: ${failed[*]} (inputs in $build/fuzz-artifacts/)" >&2
  exit 1
fi
