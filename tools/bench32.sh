#!/usr/bin/env bash
# Builds the 32-bit plug-in and its benchmark program and runs it under Wine, as the user
# runs the plug-in. Arguments go to the program: the sections ("integrate", "band", "dialog") and
# "--repetitions=N". Figures come out as `name ratio` lines, absolute times as `#` lines.
#
# Wine serves most window calls from its server process, and every call is a hand-over
# between processes. On a virtual machine, waking a process on another core costs tens of
# microseconds, and where the scheduler puts the server varies from run to run: the same
# click then takes 2 or 5 ms. So the Wine session (X server, Wine server, the program) runs
# on one core, the machine's last; OSTRAVINE_BENCH_CPUS names other cores in taskset's
# list form, or "all" for no limit.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/build-win32.sh Ostravine ostravine_bench32 >/dev/null

cpus=${OSTRAVINE_BENCH_CPUS:-$(($(nproc) - 1))}
if [ "$cpus" = all ]; then
  echo "# the Wine session runs on every core"
else
  taskset -cp "$cpus" $$ >/dev/null
  echo "# the Wine session runs on core(s) $cpus"
fi

# A prefix of its own, whose Wine server this session starts, on its core: the tests' server
# may be running, on any core.
export WINEPREFIX=$root/build/wineprefix-bench
. tools/wine-session.sh
trap end_session EXIT
wineserver -k 2>/dev/null || true
# Room for the plot panel at the size of a saved picture (2000 x 1200), the baseline of saving one.
export OSTRAVINE_SCREEN=${OSTRAVINE_SCREEN:-2560x1600x24}
start_display
prepare_prefix
OSTRAVINE_WINE_TIMEOUT=900 tools/wine-run.sh build/win32/ostravine_bench32.exe "$@"
