#!/usr/bin/env bash
# Runs a Windows program of the build under the build tree's own Wine prefix.
# Usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -u
B=$(cd "$1" && pwd); shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/env.sh" "$B"
"$here/prefix.sh" "$B" >/dev/null 2>&1 </dev/null
exec "$here/wine.sh" "$@"
