#!/usr/bin/env bash
# The bench's choice of Wine: the probe agrees with whether an i386 program runs here, the
# override forces the 64-bit-only path, and that path runs a 64-bit program in the bench prefix.
# Usage: wine_choice.sh BUILD_DIR TEST_PROGRAM POINTER_BYTES
set -u
B=$1; program=$2; bytes=$3
bench=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools/bench" && pwd)
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }

# An i386 program of our own, when this machine can build one, says what the host runs.
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
printf 'int main(void) { return 0; }\n' >"$tmp/t.c"
if gcc -m32 -o "$tmp/t32" "$tmp/t.c" 2>/dev/null; then
  if "$tmp/t32" 2>/dev/null; then runs=0; else runs=1; fi
  ( unset TAV_WINE64_ONLY; "$bench/probe32.sh" ); probe=$?
  check "probe says $([ $probe = 0 ] && echo yes || echo no) to 32-bit code, as an i386 program shows" "[ $probe = $runs ]"
else
  echo "note: gcc -m32 cannot build here; the probe's answer is not cross-checked"
fi
check "TAV_WINE64_ONLY=1 forces the 64-bit-only answer" "! TAV_WINE64_ONLY=1 '$bench/probe32.sh'"
check "TAV_WINE64_ONLY=0 forces nothing" "[ \"\$(TAV_WINE64_ONLY=0 '$bench/probe32.sh' -v)\" = \"\$(env -u TAV_WINE64_ONLY '$bench/probe32.sh' -v)\" ]"
if [ "$bytes" = 8 ]; then
  out=$(TAV_WINE64_ONLY=1 "$bench/wine-run.sh" "$B" "$program" --gtest_list_tests 2>&1 </dev/null)
  check "the 64-bit-only launcher runs a 64-bit program in the bench prefix" "grep -q '^LiveLine\.' <<<\"\$out\""
fi
exit $fail
