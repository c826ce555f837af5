#!/usr/bin/env bash
# Builds Tavrenix and its tests for 32- and 64-bit Windows and runs every test under Wine.
# Usage: tools/test.sh [i686|x86_64 ...]   (default: both)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/setup.sh || exit 1
archs=("$@"); [ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)
passed=0; failed=0; status=0
for arch in "${archs[@]}"; do
  b="build/$arch"
  mkdir -p build
  echo "== $arch: build"
  # -U: a tree limited to some folders earlier (TAV_DIRS, TAV_TEST_ONLY) builds everything again.
  cmake -S . -B "$b" -U TAV_DIRS -U TAV_TEST_ONLY -DCMAKE_TOOLCHAIN_FILE="tools/cmake/$arch-w64-mingw32.cmake" >"$b.configure.log" 2>&1 \
    || { cat "$b.configure.log"; exit 1; }
  cmake --build "$b" -j2 2>&1 | grep -E 'warning:|error:|Error [0-9]' ; [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "build failed ($arch)"; exit 1; }
  echo "== $arch: tests"
  ctest --test-dir "$b" -j2 --output-on-failure --timeout 300 2>&1 | tee "$b.ctest.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$b.ctest.log" | tail -n 1)
  f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  t=$(echo "$line" | sed -E 's/.* failed out of ([0-9]+).*/\1/')
  [ -n "$t" ] || { status=1; continue; }
  passed=$((passed + t - f)); failed=$((failed + f))
done
echo "tests: $passed passed, $failed failed"
exit $status
