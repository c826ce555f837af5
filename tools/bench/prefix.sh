#!/usr/bin/env bash
# Creates the build's Wine prefix once and keeps a persistent Wine server for it.
# All three standard streams are detached, so Wine's services never hold a caller's pipes.
set -u
B=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/env.sh" "$B"
mkdir -p "$B/bench"
exec 9>"$B/bench/prefix.lock"
flock 9
wineserver -p </dev/null >/dev/null 2>&1 9>&-
if [ ! -f "$WINEPREFIX/.tav-ready" ]; then
  wine wineboot -i </dev/null >/dev/null 2>&1 9>&-
  # A crash ends the process at once instead of waiting in the debugger's dialog.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'no-such-debugger.exe' /f </dev/null >/dev/null 2>&1 9>&-
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f </dev/null >/dev/null 2>&1 9>&-
  touch "$WINEPREFIX/.tav-ready"
fi
# Wine links the machine's real serial ports as comN: remove every link the bench did not make.
for l in "$WINEPREFIX"/dosdevices/com*; do
  [ -L "$l" ] || continue
  case "$(readlink "$l")" in "$B/bench/"*) ;; *) rm -f "$l" ;; esac
done
exit 0
