#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit code (so 32-bit Wine and the i686 build can run), else 1.
# TAV_WINE64_ONLY=1 forces the answer "no", so the 64-bit-only path can be tried on any machine.
# -v prints the reason.
say() { [ "${1:-}" = -v ] && echo "$2"; return 0; }
if [ -n "${TAV_WINE64_ONLY:-}" ] && [ "${TAV_WINE64_ONLY}" != 0 ]; then
  say "${1:-}" "no 32-bit code: forced by TAV_WINE64_ONLY=$TAV_WINE64_ONLY"; exit 1
fi
loader=/usr/lib/wine/wine
if [ ! -x "$loader" ]; then
  say "${1:-}" "no 32-bit code: the 32-bit Wine loader ($loader, wine32:i386) is not installed"; exit 1
fi
# The 32-bit loader is itself an i386 program: where the host runs no 32-bit code it fails at exec.
if ! out=$("$loader" --version 2>&1 </dev/null); then
  say "${1:-}" "no 32-bit code: $loader does not run (${out##*: })"; exit 1
fi
say "${1:-}" "32-bit code runs ($out)"
exit 0
