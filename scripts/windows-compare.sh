#!/usr/bin/env bash
# The demo installation run by the Linux programs and by the Windows ones
# under Wine, each on its own copy (the Windows one given Windows paths,
# Z:\...): the register's print file, CSV files, VParam.tab and DOZUDIZI.INI,
# the record books of zovllibres (at one SOURCE_DATE_EPOCH) and the VAT
# returns of zov303, each with their manifest.csv and validation.csv, must be
# byte for byte the same. The books and the returns are compared on a second,
# larger demo installation too.
#   scripts/windows-compare.sh [LINUX_BUILD [WINDOWS_BUILD]]
set -euo pipefail
cd "$(dirname "$0")/.."
lin=$(cd "${1:-build}" && pwd)
win=$(cd "${2:-build-win64}" && pwd)
work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY
# One moment for both programs' books: 2026-12-31 12:00:00 UTC.
export SOURCE_DATE_EPOCH=1798718400

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
status=0
same() {  # LABEL FILE_A FILE_B
  if cmp -s "$2" "$3"; then
    echo "same  $1 ($(wc -c <"$2") bytes)"
  else
    echo "DIFFERENT  $1" >&2
    status=1
  fi
}

# What a tool writes into an output folder for an installation's two copies,
# run by both builds: the names of the files, then every file's bytes (but
# the lock file's, which names the process that held it).
outputs() {  # NAME PROGRAM FOLDER EXTENSION (of the files counted: one per owner)
  local name=$1 program=$2 folder=$3 ext=$4 z
  ZOVROOT=$work/$name-lin/ ZOVTMP=$work/$name-lin/tmp/ "$lin/bin/$program" --year 2026 --quarter 4 \
    --out "$work/$name-lin/$folder" \
    </dev/null >"$work/$name-lin.$folder.log" 2>&1 || [ $? -eq 1 ] || { cat "$work/$name-lin.$folder.log" >&2; exit 1; }
  z=$(winpath "$work/$name-win")
  ZOVROOT="$z\\" ZOVTMP="$z\\tmp\\" "$win/wine-run" "$win/bin/$program.exe" --year 2026 --quarter 4 \
    --out "$z\\$folder" </dev/null >"$work/$name-win.$folder.log" 2>&1 || [ $? -eq 1 ] ||
    { cat "$work/$name-win.$folder.log" >&2; exit 1; }
  if [ "$(cd "$work/$name-lin/$folder" && ls)" = "$(cd "$work/$name-win/$folder" && ls)" ]; then
    echo "same  $name: the names of $(ls "$work/$name-lin/$folder" | wc -l) files in $folder/"
  else
    echo "DIFFERENT  $name: the names of the files in $folder/" >&2
    diff <(cd "$work/$name-lin/$folder" && ls) <(cd "$work/$name-win/$folder" && ls) >&2 || true
    status=1
    return
  fi
  local f count=0
  while IFS= read -r f; do
    case "$f" in
      *.lck) ;;
      *."$ext") count=$((count + 1))
                cmp -s "$work/$name-lin/$folder/$f" "$work/$name-win/$folder/$f" ||
                  { echo "DIFFERENT  $name: $folder/$f" >&2; status=1; } ;;
      *) same "$name: $folder/$f" "$work/$name-lin/$folder/$f" "$work/$name-win/$folder/$f" ;;
    esac
  done < <(cd "$work/$name-lin/$folder" && ls)
  echo "compared  $name: $count $folder/*.$ext"
}

"$lin/bin/zovdata" demo "$work/demo" >/dev/null
for side in lin win; do
  cp -a "$work/demo" "$work/demo-$side"
  mkdir -p "$work/demo-$side/csv" "$work/demo-$side/exe"
done
ZOVROOT=$work/demo-lin/ ZOVEXE=$work/demo-lin/exe/ ZOVTMP=$work/demo-lin/tmp/ TEMP=$work/demo-lin/csv \
  "$lin/bin/dazorov1" </dev/null >"$work/lin.log" 2>&1 || { cat "$work/lin.log" >&2; exit 1; }
z=$(winpath "$work/demo-win")
# Wine sets TEMP from its own registry: it is given inside, through cmd.
exe=$(winpath "$win/bin/dazorov1.exe")
ZOVROOT="$z\\" ZOVEXE="$z\\exe\\" ZOVTMP="$z\\tmp\\" \
  "$win/wine-run" cmd.exe /c "set TEMP=$z\\csv&& $exe" </dev/null >"$work/win.log" 2>&1 || { cat "$work/win.log" >&2; exit 1; }

for f in tmp/dozudizi.tmp DADES/VParam.tab tmp/DOZUDIZI.INI; do
  same "$f" "$work/demo-lin/$f" "$work/demo-win/$f"
done
# CSV files are named at random: compare their contents, in order.
csvs() { (cd "$1/csv" && for f in *.CSV; do sha256sum <"$f"; done | sort); }
if [ "$(csvs "$work/demo-lin")" = "$(csvs "$work/demo-win")" ]; then
  echo "same  csv/*.CSV ($(ls "$work/demo-lin/csv" | wc -l) files)"
else
  echo "DIFFERENT  csv/*.CSV" >&2
  status=1
fi
outputs demo zovllibres books xlsx
outputs demo zov303 returns txt

# A second installation, larger and with other owners, for the books and
# the returns alone.
"$lin/bin/zovdata" demo "$work/more" --owners 60 --seed 7 >/dev/null
cp -a "$work/more" "$work/more-lin"
cp -a "$work/more" "$work/more-win"
outputs more zovllibres books xlsx
outputs more zov303 returns txt
exit $status
