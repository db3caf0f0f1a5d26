#!/usr/bin/env bash
# The demo installation run by the Linux program and by dazorov1.exe under
# Wine, each on its own copy (the Windows one given Windows paths, Z:\...):
# the print file, the CSV files, VParam.tab and DOZUDIZI.INI must be byte
# for byte the same.
#   scripts/windows-compare.sh [LINUX_BUILD [WINDOWS_BUILD]]
set -euo pipefail
cd "$(dirname "$0")/.."
lin=$(cd "${1:-build}" && pwd)
win=$(cd "${2:-build-win64}" && pwd)
work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT

"$lin/bin/zovdata" demo "$work/demo" >/dev/null
for side in lin win; do
  cp -a "$work/demo" "$work/$side"
  mkdir -p "$work/$side/csv" "$work/$side/exe"
done
unset DISPLAY WAYLAND_DISPLAY
ZOVROOT=$work/lin/ ZOVEXE=$work/lin/exe/ ZOVTMP=$work/lin/tmp/ TEMP=$work/lin/csv \
  "$lin/bin/dazorov1" </dev/null >"$work/lin.log" 2>&1 || { cat "$work/lin.log" >&2; exit 1; }
z=$(printf 'Z:%s' "$work/win" | tr / '\\')
# Wine sets TEMP from its own registry: it is given inside, through cmd.
exe=$(printf 'Z:%s' "$win/bin/dazorov1.exe" | tr / '\\')
ZOVROOT="$z\\" ZOVEXE="$z\\exe\\" ZOVTMP="$z\\tmp\\" \
  "$win/wine-run" cmd.exe /c "set TEMP=$z\\csv&& $exe" </dev/null >"$work/win.log" 2>&1 || { cat "$work/win.log" >&2; exit 1; }

status=0
for f in tmp/dozudizi.tmp DADES/VParam.tab tmp/DOZUDIZI.INI; do
  if cmp -s "$work/lin/$f" "$work/win/$f"; then
    echo "same  $f ($(wc -c <"$work/lin/$f") bytes)"
  else
    echo "DIFFERENT  $f" >&2
    status=1
  fi
done
# CSV files are named at random: compare their contents, in order.
csvs() { (cd "$1/csv" && for f in *.CSV; do sha256sum <"$f"; done | sort); }
if [ "$(csvs "$work/lin")" = "$(csvs "$work/win")" ]; then
  echo "same  csv/*.CSV ($(ls "$work/lin/csv" | wc -l) files)"
else
  echo "DIFFERENT  csv/*.CSV" >&2
  status=1
fi
exit $status
