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
mkdir -p "$WINEPREFIX"
# The server's socket lives in a folder named after the prefix's device and inode.
server="server-$(stat -c '%D' "$WINEPREFIX" | sed 's/^0*//')-$(printf '%x' "$(stat -c '%i' "$WINEPREFIX")")"
running=0
for s in /tmp/.wine-"$(id -u)"/"$server"/socket /tmp/wine-*/"$server"/socket; do
  [ -S "$s" ] && running=1
done
if [ $running = 0 ] || [ ! -f "$WINEPREFIX/.tav-ready" ]; then
  wineserver -p </dev/null >/dev/null 2>&1 9>&-
  # Start Wine's services now, detached, before any caller's process can inherit its pipes.
  "$here/wine.sh" wineboot </dev/null >/dev/null 2>&1 9>&-
fi
if [ ! -f "$WINEPREFIX/.tav-ready" ]; then
  "$here/wine.sh" wineboot -i </dev/null >/dev/null 2>&1 9>&-
  # A crash ends the process at once instead of waiting in the debugger's dialog.
  "$here/wine.sh" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'no-such-debugger.exe' /f </dev/null >/dev/null 2>&1 9>&-
  "$here/wine.sh" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f </dev/null >/dev/null 2>&1 9>&-
  touch "$WINEPREFIX/.tav-ready"
fi
if [ ! -f "$WINEPREFIX/.tav-desktop" ]; then
  # A virtual desktop: with no window manager on the display, Wine waits about 2 s on every
  # top-level window it maps or unmaps; inside its own desktop it waits for nothing.
  "$here/wine.sh" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1 9>&-
  "$here/wine.sh" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f </dev/null >/dev/null 2>&1 9>&-
  touch "$WINEPREFIX/.tav-desktop"
fi
# Wine's own fonts (fonts-wine), which this Wine does not find by itself: without them every
# face falls back to a system font whose shaping tables crash 64-bit Wine on some text (0x98).
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
  for f in /usr/share/wine/fonts/*; do
    [ -e "$fonts/${f##*/}" ] || cp "$f" "$fonts/"
  done
fi
# Wine links the machine's real serial ports as comN: remove every link the bench did not make.
for l in "$WINEPREFIX"/dosdevices/com*; do
  [ -L "$l" ] || continue
  case "$(readlink "$l")" in "$B/bench/"*) ;; *) rm -f "$l" ;; esac
done
exit 0
