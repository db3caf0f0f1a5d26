#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the fuzz targets and
# the demo need.
# Does nothing when they are all present; uses sudo when not run as root.
#
#   scripts/setup.sh                        the Linux build
#   scripts/setup.sh windows [BUILD...]     also the Windows cross build and
#       Wine, and the SQLite amalgamation extracted into each BUILD directory
#   scripts/setup.sh office                 also LibreOffice, which CI uses to
#       read a record book back as a spreadsheet program does
set -euo pipefail
packages=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libsqlite3-dev zlib1g-dev poppler-utils tmux time libminizip-dev python3-openpyxl
          clang libclang-rt-14-dev sqlite3)
windows=no
if [ "${1:-}" = office ]; then
  packages+=(libreoffice-calc-nogui)
  shift
fi
if [ "${1:-}" = windows ]; then
  windows=yes
  shift
  packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest wine wine64 wine32:i386 zip)
  command -v npm >/dev/null || packages+=(npm)
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # wine32 is an i386 package: the architecture must be known to dpkg first.
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
[ "$windows" = yes ] || exit 0

# Debian has no mingw build of SQLite: its amalgamation (sqlite3.c and
# sqlite3.h) comes from a pinned npm package that ships it, checked by sha256.
sqlite_package=better-sqlite3@12.9.0   # SQLite 3.53.0
sqlite_sha256=ad0e29650140c49d0335b1d356596aa8166f12b758f418a98446130e3278f250
for build in "$@"; do
  dest=$build/third_party/sqlite3
  [ -f "$dest/sqlite3.c" ] && [ -f "$dest/sqlite3.h" ] && continue
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  (cd "$work" && npm pack --silent "$sqlite_package" >/dev/null)
  tarball=("$work"/*.tgz)
  echo "$sqlite_sha256  ${tarball[0]}" | sha256sum -c --quiet - ||
    { echo "setup: ${tarball[0]##*/} does not have the expected sha256" >&2; exit 1; }
  mkdir -p "$dest"
  tar -xzf "${tarball[0]}" -C "$work" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
  mv "$work"/package/deps/sqlite3/sqlite3.[ch] "$dest"/
  rm -rf "$work"
  trap - EXIT
done
