#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine; does nothing when all is there.
set -eu
pkgs=(cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix gcc-multilib googletest
      wine wine32:i386 wine64 xvfb xauth socat python3 python3-olefile python3-numpy python3-matplotlib imagemagick fp-utils x11-utils fonts-wine)
# Packages given as arguments replace the list (tools/release.sh needs no Wine).
[ $# -eq 0 ] || pkgs=("$@")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
if [[ " ${missing[*]}" == *:i386* ]]; then
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
