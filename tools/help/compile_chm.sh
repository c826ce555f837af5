#!/bin/sh
# Compiles a help project with chmcmd into OUT, the same bytes for the same pages: chmcmd runs
# without address randomisation (it writes unset memory into the file, which then holds the same
# values), and the compile-time stamps are cleared afterwards.
# Usage: compile_chm.sh CHMCMD PROJECT.hhp OUT.chm   (run in the folder where chmcmd writes)
set -eu
chmcmd=$1; project=$2; out=$3
name=$(basename "$project" .hhp).chm
rm -f "$name"
# Some containers refuse the personality call: then compile as usual (stamps still cleared).
setarch "$(uname -m)" -R "$chmcmd" --no-html-scan "$project" 2>/dev/null || "$chmcmd" --no-html-scan "$project"
python3 "$(dirname "$0")/clear_chm_stamps.py" "$name"
cp "$name" "$out"
