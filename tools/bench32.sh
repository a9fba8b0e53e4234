#!/usr/bin/env bash
# Builds the 32-bit plug-in and its benchmark program and runs it under Wine, as the user
# runs the plug-in. Arguments go to the program: the sections ("integrate", "dialog") and
# "--repetitions=N". Figures come out as `name ratio` lines, absolute times as `#` lines.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/build-win32.sh Ostravine ostravine_bench32 >/dev/null

. tools/wine-session.sh
trap end_session EXIT
start_display
prepare_prefix
OSTRAVINE_WINE_TIMEOUT=900 tools/wine-run.sh build/win32/ostravine_bench32.exe "$@"
