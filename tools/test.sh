#!/usr/bin/env bash
# Builds everything (the native portable core with sanitizers, the benchmarks and the
# 32-bit plug-in) and runs every test: natively, and the Windows programs under Wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
[ "$(id -u)" = 0 ] && tools/install-deps.sh
jobs=$(nproc)

# No include of the product runs from a lower layer to a higher one.
tools/check-layers.sh

cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$jobs"
# A build folder of an older set-up is configured afresh.
cmake --preset win32 >/dev/null || cmake --preset win32 --fresh >/dev/null
cmake --build --preset win32 -j "$jobs"

# The shipped binaries must load on Windows XP: every import must exist at NT 5.1. The
# checker and the export lists of the XP system DLLs lie in the shared folder beside the
# checkout; CI always has it, a bare clone may not.
checker=$root/../shared/tools/check-winnt5-imports
if [ -f "$checker" ]; then
  for shipped in build/win32/Ostravine.dll build/win32/OstravineHost.exe; do
    bash "$checker" "$shipped"
  done
elif [ -n "${CI:-}" ]; then
  echo "missing $checker" >&2
  exit 1
else
  echo "Skipping the Windows XP import check: $checker is not there"
fi

ctest --preset native -j "$jobs"

. tools/wine-session.sh
trap end_session EXIT
start_display
prepare_prefix
prepare_xp_prefixes
prepare_dpi_prefixes
ctest --preset win32 -j "$jobs"

# The release: reproducible, and working from its zip.
tests/tools/release-test.sh
