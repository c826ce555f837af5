#!/usr/bin/env bash
# Starts Wine the one way every script of the bench uses: Debian's wine where the machine runs
# 32-bit code; else the 64-bit loader by itself, since /usr/bin/wine starts the 32-bit one first.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if "$here/probe32.sh"; then
  exec wine "$@"
fi
export WINELOADER=/usr/lib/wine/wine64
exec /usr/lib/wine/wine64 "$@"
