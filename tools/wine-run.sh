#!/usr/bin/env bash
# Runs one Windows program under Wine, as CTest's cross-compiling emulator and for the
# main command: a project-local 32-bit prefix, no debug noise and a hard time limit,
# since a window call without a display hangs instead of failing.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec timeout --kill-after=10 "${OSTRAVINE_WINE_TIMEOUT:-300}" wine "$@"
