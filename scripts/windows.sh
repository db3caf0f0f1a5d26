#!/usr/bin/env bash
# The Windows builds, cross-compiled with mingw-w64: build-win32 (32-bit,
# the program that runs beside the suite and its 32-bit wbtrv32.dll) and
# build-win64 (64-bit, which Wine runs on machines without 32-bit support).
#   scripts/windows.sh build [CMAKE_FLAGS...]   set up, configure, build both
#   scripts/windows.sh test                     ctest in both under Wine, and the
#                                               demo run compared with build/'s
#   scripts/windows.sh dist                     the 32-bit zip in build-win32/dist
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
trees=("build-win32 cmake/mingw-i686.cmake" "build-win64 cmake/mingw-x86_64.cmake")

case "${1:-}" in
  build)
    shift
    bash scripts/setup.sh windows build-win32 build-win64
    for t in "${trees[@]}"; do
      read -r dir toolchain <<<"$t"
      cmake -S . -B "$dir" --toolchain "$toolchain" "$@" >/dev/null
      cmake --build "$dir" -j "$jobs"
    done
    ;;
  test)
    status=0
    for t in "${trees[@]}"; do
      read -r dir _ <<<"$t"
      echo "== Windows tests under Wine: $dir"
      start=$(date +%s)
      (cd "$dir" && ctest --output-on-failure -j "$jobs") || status=1
      echo "== $dir: $(($(date +%s) - start)) s"
    done
    # The demo installation by both programs, where the Linux build is there.
    if [ -x build/bin/dazorov1 ] && [ -x build-win64/bin/dazorov1.exe ] && [ -x build-win64/bin/zovllibres.exe ] &&
       [ -x build-win64/bin/zov303.exe ]; then
      echo "== Linux and Windows programs on the demo installation"
      bash scripts/windows-compare.sh build build-win64 || status=1
    fi
    exit $status
    ;;
  dist)
    dir=build-win32
    out=$dir/dist/dazorov1-windows
    rm -rf "$out" "$out.zip"
    mkdir -p "$out"
    cp "$dir/bin/dazorov1.exe" "$dir/bin/zovdata.exe" "$dir/bin/zovllibres.exe" "$dir/bin/zov303.exe" \
      "$dir/bin/zovrecman.dll" "$out/"
    i686-w64-mingw32-strip "$out"/*.exe "$out"/*.dll   # no debug information in what ships
    sed 's/$/\r/' scripts/windows-install.txt >"$out/INSTALL.TXT"
    (cd "$dir/dist" && cmake -E tar cf dazorov1-windows.zip --format=zip dazorov1-windows)
    echo "$out.zip:"
    unzip -l "$out.zip" | sed -n '4,$p' | head -n -2
    ;;
  *)
    echo "usage: scripts/windows.sh build|test|dist" >&2
    exit 2
    ;;
esac
