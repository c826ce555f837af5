#!/usr/bin/env bash
# One pty pair linked into the prefix as COM ports A and B.
# Usage: line.sh BUILD start A B | line.sh BUILD stop A B
set -u
B=$(cd "$1" && pwd); op=$2; a=$3; b=$4
. "$(dirname "${BASH_SOURCE[0]}")/env.sh" "$B"
cd "$B/bench" || exit 1
pidf="line$a.pid"
if [ -f "$pidf" ]; then
  for p in $(cat "$pidf"); do kill "$p" 2>/dev/null; done
  rm -f "$pidf"
fi
rm -f "$WINEPREFIX/dosdevices/com$a" "$WINEPREFIX/dosdevices/com$b"
[ "$op" = stop ] && exit 0
rm -f "tty$a" "tty$b"
setsid socat pty,raw,echo=0,link="$B/bench/tty$a" pty,raw,echo=0,link="$B/bench/tty$b" </dev/null >"line$a.log" 2>&1 &
sp=$!
for _ in $(seq 100); do [ -e "tty$a" ] && [ -e "tty$b" ] && break; sleep 0.02; done
[ -e "tty$a" ] && [ -e "tty$b" ] || { echo "socat did not start"; kill $sp; exit 1; }
# Holders keep each slave open, so socat lives on when a test closes its port.
setsid sleep infinity <>"tty$a" >/dev/null 2>&1 &
h1=$!
setsid sleep infinity <>"tty$b" >/dev/null 2>&1 &
h2=$!
echo "$sp $h1 $h2" > "$pidf"
ln -s "$B/bench/tty$a" "$WINEPREFIX/dosdevices/com$a"
ln -s "$B/bench/tty$b" "$WINEPREFIX/dosdevices/com$b"
