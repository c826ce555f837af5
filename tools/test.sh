#!/usr/bin/env bash
# Builds Tavrenix and its tests for 32- and 64-bit Windows and runs every test under Wine.
# Usage: tools/test.sh [i686|x86_64 ...]   (default: both)
# On a machine that runs no 32-bit code (or with TAV_WINE64_ONLY=1) the i686 build is still built,
# warning-free, but its tests are counted as skipped; the x86_64 build runs every test.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/setup.sh || exit 1
archs=("$@"); [ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)
runs32=1
tools/bench/probe32.sh || { runs32=0; echo "== $(tools/bench/probe32.sh -v)"; }
passed=0; failed=0; skipped=0; status=0; skipped_arch=""; total64=""
mkdir -p build
configure() {
  # -U: a tree limited to some folders earlier (TAV_DIRS, TAV_TEST_ONLY) builds everything again.
  cmake -S . -B "build/$1" -U TAV_DIRS -U TAV_TEST_ONLY -DCMAKE_TOOLCHAIN_FILE="tools/cmake/$1-w64-mingw32.cmake" \
    >"build/$1.configure.log" 2>&1 || { cat "build/$1.configure.log"; return 1; }
}
# Builds into build/ARCH.build.log; its warnings and errors are shown when it is waited for.
build() { configure "$1" && cmake --build "build/$1" -j2 >"build/$1.build.log" 2>&1; }
shown() {
  grep -E 'warning:|error:|Error [0-9]' "build/$1.build.log"
  [ "$2" -eq 0 ] || { echo "build failed ($1)"; exit 1; }
}
# Adds a CTest log's figures to the totals; its bench fixture tests count too.
count() {
  local line f t s
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  t=$(echo "$line" | sed -E 's/.* failed out of ([0-9]+).*/\1/')
  if [ -z "$t" ]; then status=1; return; fi
  # Tests that skipped themselves count in CTest's total but did not pass.
  s=$(grep -cE '^ *[0-9]+ - .* \(Skipped\)$' "$1")
  [ "$2" = x86_64 ] && total64=$((${total64:-0} + t))
  passed=$((passed + t - f - s)); failed=$((failed + f)); skipped=$((skipped + s))
}
echo "== ${archs[0]}: build (at ${SECONDS} s)"
build "${archs[0]}"; shown "${archs[0]}" $?
for i in "${!archs[@]}"; do
  arch=${archs[$i]}
  b="build/$arch"
  # The next architecture builds while this one's tests run: they mostly wait on the line and
  # on timers, and take turns on the bench's line and display.
  next=${archs[$((i + 1))]:-}
  builder=""
  if [ -n "$next" ]; then
    echo "== $next: build (beside the $arch tests, at ${SECONDS} s)"
    nice -n 10 bash -c "$(declare -f configure build); build $next" &
    builder=$!
  fi
  if [ "$arch" = i686 ] && [ $runs32 = 0 ]; then
    echo "i686: built; its tests need a machine that runs 32-bit code"
    skipped_arch=$b
    if [ -n "$builder" ]; then wait "$builder"; shown "$next" $?; fi
    continue
  fi
  echo "== $arch: tests (at ${SECONDS} s)"
  if [ -n "$builder" ]; then
    # The drills measure the program under traffic: they run once the build beside them is done.
    ctest --test-dir "$b" -j2 --output-on-failure --timeout 300 -E '^drills\.' 2>&1 | tee "$b.ctest.log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    count "$b.ctest.log" "$arch"
    wait "$builder"; shown "$next" $?
    echo "== $arch: drills (at ${SECONDS} s)"
    ctest --test-dir "$b" -j2 --output-on-failure --timeout 300 -R '^drills\.' 2>&1 | tee "$b.drills.log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    count "$b.drills.log" "$arch"
  else
    ctest --test-dir "$b" -j2 --output-on-failure --timeout 300 2>&1 | tee "$b.ctest.log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    count "$b.ctest.log" "$arch"
  fi
done
if [ -n "$skipped_arch" ]; then
  # The 32-bit build registers the same tests as the 64-bit one; without it, count its programs.
  if [ -z "$total64" ]; then
    for l in build/x86_64.ctest.log build/x86_64.drills.log; do
      [ -f "$l" ] && total64=$((${total64:-0} + $(grep -E 'failed out of [0-9]+' "$l" | tail -n 1 | sed -E 's/.* failed out of ([0-9]+).*/\1/')))
    done
  fi
  [ -n "$total64" ] || total64=$(ls "$skipped_arch"/test_*.exe 2>/dev/null | wc -l)
  skipped=$((skipped + total64))
  echo "i686 tests not run: this machine runs no 32-bit code ($(tools/bench/probe32.sh -v))"
fi
echo "== done (at ${SECONDS} s)"
echo "tests: $passed passed, $failed failed, $skipped skipped"
exit $status
