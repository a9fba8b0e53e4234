#!/usr/bin/env bash
# Runs one Windows program under Wine, as CTest's cross-compiling emulator: a project-local
# 32-bit prefix, no debug noise and a hard time limit, since a window call without a display
# hangs instead of failing.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine's helper processes (the desktop, services) outlive the program and inherit its
# output; writing to a file instead of CTest's pipe lets CTest see the end of the test.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
timeout --kill-after=10 "${OSTRAVINE_WINE_TIMEOUT:-300}" wine "$@" >"$log" 2>&1
status=$?
cat "$log"
exit $status
