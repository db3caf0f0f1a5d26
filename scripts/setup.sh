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
          libsqlite3-dev zlib1g-dev poppler-utils tmux time python3-openpyxl
          clang libclang-rt-14-dev sqlite3)
windows=no
if [ "${1:-}" = office ]; then
  packages+=(libreoffice-calc-nogui)
  shift
fi
if [ "${1:-}" = windows ]; then
  windows=yes
  shift
  packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64 wine32:i386 zip)
  command -v npm >/dev/null || packages+=(npm)
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# wine32 only runs the 32-bit Windows tests, which are skipped without it
# (a 64-bit kernel without 32-bit support cannot run them anyway).
optional=(wine32:i386)
is_optional() { [[ " ${optional[*]} " == *" $1 "* ]]; }
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
needed=()
for p in "${missing[@]}"; do is_optional "$p" || needed+=("$p"); done
install() { DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"; }
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # wine32 is an i386 package: the architecture must be known to dpkg first.
  new_architecture=no
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    new_architecture=yes
  fi
  # A package index can fail to download for a while (a mirror being
  # synced): try again, then go on with the indexes that did come. The
  # indexes are fetched only when a needed package is missing, so that a
  # machine without the optional ones does not wait for them at every build.
  if [ ${#needed[@]} -gt 0 ] || [ $new_architecture = yes ]; then
    for attempt in 1 2 3; do
      $sudo apt-get update -qq && break
      echo "setup: not every package index could be downloaded (attempt $attempt of 3)" >&2
      [ "$attempt" -lt 3 ] && sleep $((attempt * 10))
    done
  fi
  if ! install "${missing[@]}"; then
    [ ${#needed[@]} -eq 0 ] || install "${needed[@]}"
    echo "setup: ${optional[*]} could not be installed: the 32-bit Windows tests will be skipped" >&2
  fi
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
