#!/usr/bin/env bash
# Builds Tavrenix for 32-bit Windows and runs it under Wine with a simulated RS-485 line on the
# port its settings name (COM1 on a first start): tick "Comm Port" and the traffic shows at once.
# On a machine that runs no 32-bit code (or with TAV_WINE64_ONLY=1) it builds and runs the 64-bit one.
# Usage: tools/run.sh [--no-build] [--build-dir DIR] [--program WINDOWS_EXE] [-- SIMULATOR_OPTIONS...]
#   --no-build     use the build as it is
#   --build-dir    the build tree (default build/i686, or build/x86_64 without 32-bit code)
#   --program EXE  run another Windows program in the same setting instead of Tavrenix.exe
#   after --        options for tools/simulator/bus_simulator.py (e.g. --baud 19200 --slaves 1,5)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
build=1; program=""; sim_args=(); arch=i686
if ! tools/bench/probe32.sh; then
  arch=x86_64
  echo "run.sh: $(tools/bench/probe32.sh -v): building and starting the 64-bit program."
fi
B="$root/build/$arch"
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --program) program=$(realpath "$2"); shift ;;
    --build-dir) B=$(realpath -m "$2"); shift
                 case "$B" in *x86_64*) arch=x86_64 ;; *i686*) arch=i686 ;; esac ;;
    --) shift; sim_args=("$@"); break ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done

bench="$root/tools/bench"
[ -n "$program" ] || program="$B/Tavrenix.exe"

if [ $build = 1 ]; then
  tools/setup.sh || exit 1
  mkdir -p "$root/build"
  cmake -S . -B "$B" -DCMAKE_TOOLCHAIN_FILE="tools/cmake/$arch-w64-mingw32.cmake" >"$B.configure.log" 2>&1 \
    || { cat "$B.configure.log"; exit 1; }
  targets=(--target ptyshim)
  [ -f app/WinMain.cpp ] && targets+=(--target Tavrenix)
  grep -q '^TAV_CHMCMD:FILEPATH=/' "$B/CMakeCache.txt" && targets+=(--target helpfile)
  echo "== building ${targets[*]//--target /}"
  cmake --build "$B" -j2 "${targets[@]}" || exit 1
fi
if [ ! -f "$program" ]; then
  echo "run.sh: $program does not exist." >&2
  [ -f "$root/app/WinMain.cpp" ] || echo "run.sh: the program's entry point app/WinMain.cpp is not written yet." >&2
  exit 1
fi
if [ ! -f "$(dirname "$program")/tavrenix.chm" ]; then
  if [ -f "$B/tavrenix.chm" ]; then
    cp "$B/tavrenix.chm" "$(dirname "$program")/"
  else
    echo "run.sh: note: tavrenix.chm was not built (chmcmd missing?): Help > Contents will find no file."
  fi
fi

# A running test bench owns this build's Wine prefix and ports: do not disturb it.
if [ -f "$B/bench/xvfb.pid" ] && kill -0 "$(cat "$B/bench/xvfb.pid")" 2>/dev/null; then
  echo "run.sh: the test bench of $B is running (ctest?). Let it finish, or end it with tools/bench/stop.sh $B." >&2
  exit 1
fi
# Leftovers of an earlier test run: a Wine server bound to a display that is gone.
"$bench/stop.sh" "$B" >/dev/null 2>&1
mkdir -p "$B/bench"

pids=()        # what this script started, stopped by id in reverse order
xvfb_pid=""
port_link=""
wine_pid=""
cleanup() {
  trap - EXIT INT TERM HUP
  local i
  [ -n "$wine_pid" ] && kill "$wine_pid" 2>/dev/null
  for ((i=${#pids[@]}-1; i>=0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  for ((i=${#pids[@]}-1; i>=0; i--)); do wait "${pids[$i]}" 2>/dev/null; done
  [ -n "$port_link" ] && rm -f "$port_link"
  rm -f "$B/bench/run-port" "$B/bench/run-bus"
  # Wine's services for this prefix end with its server.
  WINEPREFIX="$B/wineprefix" wineserver -k </dev/null >/dev/null 2>&1
  WINEPREFIX="$B/wineprefix" timeout 20 wineserver -w </dev/null >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# The user's display, or an Xvfb of our own when there is none.
display="${DISPLAY:-}"
if [ -z "$display" ] || ! xdpyinfo -display "$display" >/dev/null 2>&1; then
  exec 3>"$B/bench/run-display"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$B/bench/run-xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$B/bench/run-display" ] && break; sleep 0.05; done
  [ -s "$B/bench/run-display" ] || { echo "run.sh: Xvfb did not start" >&2; exit 1; }
  display=":$(tr -d '\n' <"$B/bench/run-display")"
  echo "run.sh: no usable display (DISPLAY='${DISPLAY:-}'): started Xvfb on $display; the window is not visible."
  echo "        Look at it with:  import -window root -display $display shot.png"
fi
export DISPLAY="$display"

DISPLAY="$display" "$bench/prefix.sh" "$B" || { echo "run.sh: the Wine prefix could not be prepared" >&2; exit 1; }
. "$bench/env.sh" "$B"
export DISPLAY="$display"

# The port the settings name (Tavrenix.def beside the program), and its speed for pacing.
read -r port baud < <(/usr/bin/python3 - "$(dirname "$program")/Tavrenix.def" <<'EOF'
import re, struct, sys
port, baud = "COM1", 9600
try:
    import olefile
    with olefile.OleFileIO(sys.argv[1]) as f:
        cfg = f.openstream(["commdef", "CommCfgDef"]).read(60)
    name = cfg[:40].split(b"\0")[0].decode("latin-1")
    rate = struct.unpack_from("<i", cfg, 40)[0]
    if name:
        port = name
    if 0 < rate <= 4000000:
        baud = rate
except Exception:
    pass
print(re.sub(r"\s", "", port) or "COM1", baud)
EOF
)
com=$(printf '%s' "$port" | sed -E 's/^\\\\\.\\//' | tr 'A-Z' 'a-z')
if ! [[ "$com" =~ ^com[0-9]+$ ]]; then
  echo "run.sh: the settings name the port '$port', which is not a COM port; the simulated line is COM1."
  com=com1
fi

# The line: a pty pair; one end is the program's port, the simulator writes into the other.
setsid socat pty,raw,echo=0,link="$B/bench/run-port" pty,raw,echo=0,link="$B/bench/run-bus" \
  </dev/null >"$B/bench/run-socat.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$B/bench/run-port" ] && [ -e "$B/bench/run-bus" ] && break; sleep 0.02; done
[ -e "$B/bench/run-port" ] && [ -e "$B/bench/run-bus" ] || { echo "run.sh: socat did not start" >&2; exit 1; }
# A holder keeps the port's end open, so the line survives the program closing the port.
setsid sleep infinity <>"$B/bench/run-port" >/dev/null 2>&1 &
pids+=($!)
port_link="$WINEPREFIX/dosdevices/$com"
ln -sfn "$B/bench/run-port" "$port_link"
setsid python3 "$root/tools/simulator/bus_simulator.py" "$B/bench/run-bus" --baud "$baud" "${sim_args[@]}" \
  </dev/null >"$B/bench/run-simulator.log" 2>&1 &
pids+=($!)

echo "run.sh: simulated RS-485 line on ${com^^} ($baud baud pacing); starting $(basename "$program") on $DISPLAY"
# In the background, so that Ctrl-C or a signal to this script reaches the cleanup at once.
"$bench/wine.sh" "$program" </dev/null &
wine_pid=$!
wait "$wine_pid"
status=$?
wine_pid=""
echo "run.sh: $(basename "$program") ended (status $status); stopping the simulator and the line."
exit $status
