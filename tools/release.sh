#!/usr/bin/env bash
# Builds the release archives for Windows users from this tree, for both architectures:
#   dist/Tavrenix-<version>-win32.zip, dist/Tavrenix-<version>-win64.zip and dist/SHA256SUMS.
# Each holds the optimised, stripped Tavrenix.exe, tavrenix.chm and ReadMe.txt. Needs no Wine
# and runs no Windows code (the tests are not built). Two runs on one commit give the same bytes.
# Usage: tools/release.sh [i686|x86_64 ...]   (default: both; each replaces only its own archive)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
tools/setup.sh cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix fp-utils python3 || exit 1
archs=("$@"); [ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)
if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
  echo "release.sh: note: the tree has uncommitted changes; the archives are not those of a commit."
fi
# Every archive member carries the commit's time, so a rebuild of the same commit is identical.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 315532800)
fi
export SOURCE_DATE_EPOCH
mkdir -p build dist
for arch in "${archs[@]}"; do
  b="build/release-$arch"
  echo "== $arch: release build in $b"
  cmake -S . -B "$b" -DCMAKE_TOOLCHAIN_FILE="tools/cmake/$arch-w64-mingw32.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DTAV_TESTS=OFF -U TAV_DIRS >"$b.configure.log" 2>&1 || { cat "$b.configure.log"; exit 1; }
  grep -q '^TAV_CHMCMD:FILEPATH=/' "$b/CMakeCache.txt" || { echo "release.sh: chmcmd (fp-utils) not found" >&2; exit 1; }
  rm -rf "$b/dist"
  cmake --build "$b" -j2 --target release_archive || { echo "release.sh: build failed ($arch)" >&2; exit 1; }
  # Replaces only this architecture's archive in dist/ and lists every archive there.
  python3 tools/release/publish.py dist "$b"/dist/Tavrenix-*.zip || exit 1
done
echo "release.sh: archives in $root/dist"
