#!/usr/bin/env bash
# Makes docs/screenshot.png: Tavrenix under Wine on an Xvfb display of its own, with the bus
# simulator on its port (as tools/run.sh sets it up), "Comm Port" ticked and a few seconds of traffic.
# Usage: tools/screenshot.sh [--no-build] [--build-dir DIR] [--format 0-3] [--seconds N] [--dpi N] [--out FILE]
#   --no-build     use the build as it is
#   --build-dir    the build tree (default build/i686, or build/x86_64 on a machine that runs no
#                  32-bit code or with TAV_WINE64_ONLY=1)
#   --format N     display format to show: 0 Normal, 1 Hex, 2 Mnemonic, 3 All Hex (default 1)
#   --seconds N    traffic to let in before the picture (default 10)
#   --dpi N        the display's pixels per inch (Wine's LogPixels, set in a throwaway copy of the
#                  prefix); the picture then holds the window, the line settings dialog and About
#                  side by side (default file docs/screenshot-Ndpi.png)
#   --out FILE     the picture (default docs/screenshot.png)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
arch=i686
tools/bench/probe32.sh || { arch=x86_64; echo "screenshot.sh: $(tools/bench/probe32.sh -v): the 64-bit program."; }
build=1; B="$root/build/$arch"; format=1; seconds=10; out=""; dpi=""
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --build-dir) B=$(realpath -m "$2"); shift
                 case "$B" in *x86_64*) arch=x86_64 ;; *i686*) arch=i686 ;; esac ;;
    --format) format="$2"; shift ;;
    --seconds) seconds="$2"; shift ;;
    --dpi) dpi="$2"; shift ;;
    --out) out=$(realpath -m "$2"); shift ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "screenshot.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done
case "$format" in [0-3]) ;; *) echo "screenshot.sh: --format takes 0 to 3" >&2; exit 2 ;; esac
case "$dpi" in "") ;; *[!0-9]*) echo "screenshot.sh: --dpi takes a number" >&2; exit 2 ;; esac
[ -n "$out" ] || out="$root/docs/screenshot${dpi:+-${dpi}dpi}.png"
bench="$root/tools/bench"
# The desktop grows with the pixels per inch, so the window fits at every setting.
size=$((1024 * ${dpi:-96} / 96))x$((768 * ${dpi:-96} / 96))

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

# A tiny driver: "FORMAT RECTFILE" ticks "Comm Port" in that format and reports where the window
# is; "dialog COMMAND TITLE RECTFILE" opens a dialog by its menu command
# (Comm off first) and reports where it is; "dismiss TITLE" cancels that dialog; "close x" closes
# the window.
cat >"$work/driver.c" <<'EOF'
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
static HWND waitFor(const char* title)
{
    HWND w = NULL;
    int i;
    for (i = 0; i < 300 && !w; ++i) {
        w = FindWindowA(NULL, title);
        if (!w) Sleep(100);
    }
    return w;
}
static int writeRect(HWND w, const char* path)
{
    RECT r;
    GetWindowRect(w, &r);
    FILE* f = fopen(path, "w");
    if (!f) return 1;
    fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    fclose(f);
    return 0;
}
int main(int argc, char** argv)
{
    HWND w;
    if (argc < 3) return 2;
    w = waitFor("Olventa Software Tavrenix V1.2");
    if (!w) return 1;
    if (strcmp(argv[1], "close") == 0) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        return 0;
    }
    if (strcmp(argv[1], "dismiss") == 0) {
        HWND d = FindWindowA(NULL, argv[2]);
        if (d) PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return d ? 0 : 1;
    }
    if (strcmp(argv[1], "dialog") == 0 && argc == 5) {
        HWND d;
        /* Comm > Edit is disabled while Comm is on. */
        PostMessageA(w, WM_COMMAND, MAKEWPARAM(40012, 0), 0);
        PostMessageA(w, WM_COMMAND, MAKEWPARAM(atoi(argv[2]), 0), 0);
        d = waitFor(argv[3]);
        if (!d) return 1;
        Sleep(500);
        return writeRect(d, argv[4]);
    }
    static const int formats[4] = {40006, 40007, 40017, 40018};
    SendMessageA(w, WM_COMMAND, MAKEWPARAM(formats[atoi(argv[1]) & 3], 0), 0);
    SendMessageA(GetDlgItem(w, 1007), BM_CLICK, 0, 0);
    return writeRect(w, argv[2]);
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
  for p in "$B/wineprefix" ${dpi:+"$work/prefix"}; do
    WINEPREFIX="$p" wineserver -k </dev/null >/dev/null 2>&1
    WINEPREFIX="$p" timeout 20 wineserver -w </dev/null >/dev/null 2>&1
  done
  [ -n "$dpi" ] && rm -rf "$work/prefix"
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
if [ -n "$dpi" ]; then
  # The pixels per inch go into a copy of the prefix, so the bench's prefix keeps 96.
  wineserver -k </dev/null >/dev/null 2>&1; timeout 20 wineserver -w </dev/null >/dev/null 2>&1
  # Linked, not copied (it is large); the registry files, which Wine rewrites, are real copies.
  cp -a --link "$WINEPREFIX" "$work/prefix" || exit 1
  for f in "$WINEPREFIX"/*.reg; do cp --remove-destination "$f" "$work/prefix/" || exit 1; done
  export WINEPREFIX="$work/prefix"
  "$bench/wine.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    </dev/null >/dev/null 2>&1 || { echo "screenshot.sh: LogPixels could not be set" >&2; exit 1; }
fi

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
# Crops the desktop to the window whose rectangle (x y width height) is in file $1, into $2.
shoot() {
  local x y w h
  read -r x y w h <"$1"
  [ "$x" -lt 0 ] && { w=$((w + x)); x=0; }
  [ "$y" -lt 0 ] && { h=$((h + y)); y=0; }
  import -window root -display "$DISPLAY" -crop "${w}x${h}+${x}+${y}" +repage "$2"
}
# Starts the driver on the program's desktop; it returns at once, the driver runs on.
drive() { "$bench/wine.sh" explorer /desktop=Default,$size "$work/driver.exe" "$@" </dev/null >/dev/null 2>&1; }
winwork='Z:'"${work//\//\\}"
echo "screenshot.sh: Comm on, window $(cat "$work/rect.txt"); $seconds s of traffic"
sleep "$seconds"
mkdir -p "$(dirname "$out")"
if [ -z "$dpi" ]; then
  shoot "$work/rect.txt" "$out" || exit 1
else
  shoot "$work/rect.txt" "$work/monitor.png" || exit 1
  # The line settings dialog (Comm > Edit) and About (Help > About), one after the other.
  for d in "40004|Serial Communications Settings|settings" "40002|About Tavrenix|about"; do
    IFS='|' read -r command title name <<<"$d"
    drive dialog "$command" "$title" "$winwork\\$name.txt"
    for _ in $(seq 400); do [ -s "$work/$name.txt" ] && break; sleep 0.1; done
    if [ ! -s "$work/$name.txt" ]; then
      import -window root -display "$DISPLAY" "$work/desktop.png"
      echo "screenshot.sh: \"$title\" did not appear (the desktop: $work/desktop.png)" >&2; exit 1
    fi
    shoot "$work/$name.txt" "$work/$name.png" || exit 1
    drive dismiss "$title"
    sleep 2
  done
  convert \( "$work/monitor.png" -bordercolor white -border 6 \) \
    \( "$work/settings.png" "$work/about.png" -bordercolor white -border 6 -background white -gravity west -append \) \
    -background white -gravity north +append +repage "$out" || exit 1
fi
drive close x
echo "screenshot.sh: wrote $out"
