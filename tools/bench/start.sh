#!/usr/bin/env bash
# Test fixture: the Wine prefix and server, an Xvfb display and the pty line pairs.
# Every process it starts is recorded by id in BUILD/bench/*.pid for stop.sh.
set -u
B=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# A fresh Wine server, so that its desktop process starts on this fixture's display.
"$here/stop.sh" "$B" >/dev/null 2>&1
mkdir -p "$B/bench"
cd "$B/bench" || exit 1

# Xvfb picks a free display and tells it through fd 3.
rm -f display
exec 3>display.tmp
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp </dev/null >xvfb.log 2>&1 &
echo $! > xvfb.pid
exec 3>&-
for _ in $(seq 100); do [ -s display.tmp ] && break; sleep 0.05; done
[ -s display.tmp ] || { echo "Xvfb did not start"; exit 1; }
tr -d '\n' < display.tmp > display; rm -f display.tmp
"$here/prefix.sh" "$B" || exit 1
. "$here/env.sh" "$B"

# Line pairs: comA <-> comB, as a null-modem cable between two ports.
"$here/line.sh" "$B" start 5 6 || exit 1
"$here/line.sh" "$B" start 7 8 || exit 1
"$here/line.sh" "$B" start 12 13 || exit 1
echo "bench ready: DISPLAY=:$(cat display)"
