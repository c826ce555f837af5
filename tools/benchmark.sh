#!/usr/bin/env bash
# Measures Tavrenix and writes docs/benchmarks.md and docs/throughput.png: line throughput and CPU
# per MiB at each baud rate against `cat` and picocom, latency from the last byte to the pane, and
# the capture core's cost per entry. Builds what it needs (32-bit; 64-bit on a machine that runs no
# 32-bit code or with TAV_WINE64_ONLY=1), runs the bench, stops it again.
# Usage: tools/benchmark.sh [--build-dir DIR] [--no-build] [--seconds S] [--quick] [--docs DIR] [--before REV]
#   --build-dir  a build tree (default build/benchmark-i686 or -x86_64; created when missing)
#   --no-build   use the programs as they are built
#   --seconds S  traffic per baud rate and receiver (default 4)
#   --quick      three rates and 20 latency bursts, to try the tools out
#   --docs DIR   where the report goes (default docs/)
#   --before REV also build commit REV (same architecture, in BUILD/benchmarks/before) and compare it in the same run
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
arch=i686
tools/bench/probe32.sh || { arch=x86_64; echo "benchmark.sh: $(tools/bench/probe32.sh -v): measuring the 64-bit program."; }
B="$root/build/benchmark-$arch"; build=1; args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) B=$(realpath -m "$2"); shift ;;
    --no-build) build=0 ;;
    --seconds) args+=(--seconds "$2"); shift ;;
    --quick) args+=(--quick) ;;
    --docs) args+=(--docs "$(realpath -m "$2")"); shift ;;
    --before) args+=(--before "$2"); shift ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "benchmark.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done

tools/setup.sh || exit 1
# The peer terminal that the line figures are compared with; only the benchmark needs it.
if ! command -v picocom >/dev/null; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends picocom \
    || echo "benchmark.sh: picocom could not be installed; its figures are left out."
fi

if [ $build = 1 ]; then
  mkdir -p "$(dirname "$B")"
  if [ ! -f "$B/CMakeCache.txt" ]; then
    cmake -S . -B "$B" -DCMAKE_TOOLCHAIN_FILE="tools/cmake/$arch-w64-mingw32.cmake" >"$B.configure.log" 2>&1 \
      || { cat "$B.configure.log"; exit 1; }
  else
    cmake -S . -B "$B" >"$B.configure.log" 2>&1 || { cat "$B.configure.log"; exit 1; }
  fi
  echo "== building Tavrenix, tavdrive, tavcorebench, tavchunkbench"
  cmake --build "$B" -j2 --target Tavrenix tavdrive tavcorebench tavchunkbench ptyshim 2>&1 | grep -E 'warning|error|Error'
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "benchmark.sh: build failed" >&2; exit 1; }
fi
for f in Tavrenix.exe tools/benchmarks/tavdrive.exe tools/benchmarks/tavcorebench.exe tools/benchmarks/tavchunkbench.exe; do
  [ -f "$B/$f" ] || { echo "benchmark.sh: $B/$f is missing" >&2; exit 1; }
done

# A running test bench owns this build's prefix and lines: do not disturb it.
if [ -f "$B/bench/xvfb.pid" ] && kill -0 "$(cat "$B/bench/xvfb.pid")" 2>/dev/null; then
  echo "benchmark.sh: the bench of $B is running (ctest?). Let it finish, or end it with tools/bench/stop.sh $B." >&2
  exit 1
fi
trap 'tools/bench/stop.sh "$B" >/dev/null 2>&1' EXIT
trap 'exit 130' INT TERM HUP
tools/bench/start.sh "$B" || exit 1
# Debian's python3, which has matplotlib (a python3 earlier on PATH may not).
py=/usr/bin/python3; [ -x "$py" ] || py=python3
"$py" tools/benchmarks/run_benchmarks.py "$root" "$B" "${args[@]}"
