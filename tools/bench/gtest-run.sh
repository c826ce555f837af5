#!/usr/bin/env bash
# Runs a GoogleTest program of the build under Wine, as wine-run.sh does. A run that started tests
# but never printed GoogleTest's closing summary fails, even when Wine ended the process with exit
# code 0 (it does so after a stack overflow).
# Usage: gtest-run.sh BUILD_DIR PROGRAM [ARGS...]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$here/wine-run.sh" "$@" | tee "$out"
rc=${PIPESTATUS[0]}
if [ "$rc" = 0 ] && grep -q '^\[==========\] Running' "$out" && ! grep -q '^\[==========\] .* ran\.' "$out"; then
  echo "gtest-run.sh: the program ended (exit code 0) before GoogleTest's summary: it crashed or was ended"
  rc=1
fi
exit "$rc"
