# Sourced with the build dir as $1: the environment every Wine process of the bench gets.
export WINEPREFIX="$1/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Literal $LIB: the loader picks the shim of each Wine process's own bitness.
export LD_PRELOAD="$1/ptyshim/\$LIB/libtavptyshim.so"
if [ -f "$1/bench/display" ]; then export DISPLAY=":$(cat "$1/bench/display")"; fi
export TAV_BENCH="$1/bench"
