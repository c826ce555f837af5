#!/usr/bin/env bash
# Makes docs/screenshot.png: Tavrenix under Wine on an Xvfb display of its own, with the bus
# simulator on its port (as tools/run.sh sets it up), "Comm Port" ticked and a few seconds of traffic.
# Usage: tools/screenshot.sh [--no-build] [--build-dir DIR] [--format 0-3] [--seconds N] [--out FILE]
#   --no-build     use the build as it is
#   --build-dir    the build tree (default build/i686, or build/x86_64 on a machine that runs no
#                  32-bit code or with TAV_WINE64_ONLY=1)
#   --format N     display format to show: 0 Normal, 1 Hex, 2 Mnemonic, 3 All Hex (default 1)
#   --seconds N    traffic to let in before the picture (default 10)
#   --out FILE     the picture (default docs/screenshot.png)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
arch=i686
tools/bench/probe32.sh || { arch=x86_64; echo "screenshot.sh: $(tools/bench/probe32.sh -v): the 64-bit program."; }
build=1; B="$root/build/$arch"; format=1; seconds=10; out="$root/docs/screenshot.png"
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --build-dir) B=$(realpath -m "$2"); shift
                 case "$B" in *x86_64*) arch=x86_64 ;; *i686*) arch=i686 ;; esac ;;
    --format) format="$2"; shift ;;
    --seconds) seconds="$2"; shift ;;
    --out) out=$(realpath -m "$2"); shift ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "screenshot.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done
case "$format" in [0-3]) ;; *) echo "screenshot.sh: --format takes 0 to 3" >&2; exit 2 ;; esac
bench="$root/tools/bench"
size=1024x768

if [ $build = 1 ]; then
  tools/setup.sh || exit 1
  mkdir -p "$B"
  cmake -S . -B "$B" -DCMAKE_TOOLCHAIN_FILE="tools/cmake/$arch-w64-mingw32.cmake" >"$B.configure.log" 2>&1 \
    || { cat "$B.configure.log"; exit 1; }
  cmake --build "$B" -j2 --target Tavrenix --target ptyshim || exit 1
fi
[ -f "$B/Tavrenix.exe" ] || { echo "screenshot.sh: $B/Tavrenix.exe does not exist" >&2; exit 1; }

# A running test bench owns this build's Wine prefix and ports: do not disturb it.
if [ -f "$B/bench/xvfb.pid" ] && kill -0 "$(cat "$B/bench/xvfb.pid")" 2>/dev/null; then
  echo "screenshot.sh: the test bench of $B is running (ctest?); let it finish first." >&2
  exit 1
fi
"$bench/stop.sh" "$B" >/dev/null 2>&1

# The program runs from a folder of its own: no settings file, so the port is COM1 and the
# format the driver picks is the only one shown.
work="$B/screenshot"
rm -rf "$work"; mkdir -p "$work" "$B/bench"
cp "$B/Tavrenix.exe" "$work/"

# A tiny driver that ticks "Comm Port", picks the format and reports where the window is.
cat >"$work/driver.c" <<'EOF'
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
int main(int argc, char** argv)
{
    HWND w = NULL;
    int i;
    if (argc < 3) return 2;
    for (i = 0; i < 300 && !w; ++i) {
        w = FindWindowA(NULL, "Olventa Software Tavrenix V1.2");
        if (!w) Sleep(100);
    }
    if (!w) return 1;
    if (strcmp(argv[1], "close") == 0) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        return 0;
    }
    static const int formats[4] = {40006, 40007, 40017, 40018};
    SendMessageA(w, WM_COMMAND, MAKEWPARAM(formats[atoi(argv[1]) & 3], 0), 0);
    SendMessageA(GetDlgItem(w, 1007), BM_CLICK, 0, 0);
    RECT r;
    GetWindowRect(w, &r);
    FILE* f = fopen(argv[2], "w");
    if (!f) return 1;
    fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    fclose(f);
    return 0;
}
EOF
$arch-w64-mingw32-gcc -O2 -s -o "$work/driver.exe" "$work/driver.c" -luser32 || exit 1

pids=()
xvfb_pid=""
port_link=""
cleanup() {
  trap - EXIT INT TERM HUP
  local i
  for ((i=${#pids[@]}-1; i>=0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  for ((i=${#pids[@]}-1; i>=0; i--)); do wait "${pids[$i]}" 2>/dev/null; done
  [ -n "$port_link" ] && rm -f "$port_link"
  WINEPREFIX="$B/wineprefix" wineserver -k </dev/null >/dev/null 2>&1
  WINEPREFIX="$B/wineprefix" timeout 20 wineserver -w </dev/null >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -f "$B/bench/shot-port" "$B/bench/shot-bus" "$B/bench/shot-display"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

exec 3>"$B/bench/shot-display"
setsid Xvfb -displayfd 3 -screen 0 ${size}x24 -nolisten tcp </dev/null >"$B/bench/shot-xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$B/bench/shot-display" ] && break; sleep 0.05; done
[ -s "$B/bench/shot-display" ] || { echo "screenshot.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '\n' <"$B/bench/shot-display")"
"$bench/prefix.sh" "$B" || { echo "screenshot.sh: the Wine prefix could not be prepared" >&2; exit 1; }
. "$bench/env.sh" "$B"
export DISPLAY=":$(tr -d '\n' <"$B/bench/shot-display")"

# The line, as tools/run.sh makes it: a pty pair, the program's end linked as COM1.
setsid socat pty,raw,echo=0,link="$B/bench/shot-port" pty,raw,echo=0,link="$B/bench/shot-bus" \
  </dev/null >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$B/bench/shot-port" ] && [ -e "$B/bench/shot-bus" ] && break; sleep 0.02; done
[ -e "$B/bench/shot-bus" ] || { echo "screenshot.sh: socat did not start" >&2; exit 1; }
setsid sleep infinity <>"$B/bench/shot-port" >/dev/null 2>&1 &
pids+=($!)
port_link="$WINEPREFIX/dosdevices/com1"
ln -sfn "$B/bench/shot-port" "$port_link"
setsid python3 "$root/tools/simulator/bus_simulator.py" "$B/bench/shot-bus" --seed 7 </dev/null >"$B/bench/shot-simulator.log" 2>&1 &
pids+=($!)

# Both on one Wine desktop of the display's size, so the window has its frame and caption.
"$bench/wine.sh" explorer /desktop=Default,$size "$work/Tavrenix.exe" </dev/null >/dev/null 2>&1 &
pids+=($!)
"$bench/wine.sh" explorer /desktop=Default,$size "$work/driver.exe" "$format" 'Z:'"${work//\//\\}"'\rect.txt' \
  </dev/null >/dev/null 2>&1
for _ in $(seq 200); do [ -s "$work/rect.txt" ] && break; sleep 0.1; done
[ -s "$work/rect.txt" ] || { echo "screenshot.sh: the window did not appear" >&2; exit 1; }
read -r x y w h <"$work/rect.txt"
[ "$x" -lt 0 ] && { w=$((w + x)); x=0; }
[ "$y" -lt 0 ] && { h=$((h + y)); y=0; }
echo "screenshot.sh: Comm on, window at ${x},${y} size ${w}x${h}; $seconds s of traffic"
sleep "$seconds"
mkdir -p "$(dirname "$out")"
import -window root -display "$DISPLAY" -crop "${w}x${h}+${x}+${y}" +repage "$out" || exit 1
"$bench/wine.sh" explorer /desktop=Default,$size "$work/driver.exe" close x </dev/null >/dev/null 2>&1
echo "screenshot.sh: wrote $out"
