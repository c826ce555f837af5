#!/usr/bin/env bash
# Ends what start.sh started, by process id; --keep-server leaves the Wine server running.
set -u
B=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/env.sh" "$B"
cd "$B/bench" 2>/dev/null || exit 0
for f in line*.pid; do
  [ -f "$f" ] || continue
  for p in $(cat "$f"); do kill "$p" 2>/dev/null; done
  rm -f "$f"
done
rm -f "$WINEPREFIX"/dosdevices/com*
if [ -f xvfb.pid ]; then kill "$(cat xvfb.pid)" 2>/dev/null; rm -f xvfb.pid; fi
rm -f display
if [ "${2:-}" != --keep-server ]; then
  wineserver -k </dev/null >/dev/null 2>&1
  timeout 20 wineserver -w </dev/null >/dev/null 2>&1   # the next start must not meet a dying server
fi
exit 0
