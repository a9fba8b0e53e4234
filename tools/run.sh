#!/usr/bin/env bash
# The main job: builds the plug-in and shows it working from a host under Wine. Without a
# display it runs under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
[ "$(id -u)" = 0 ] && tools/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)"

. tools/wine-session.sh
trap end_session EXIT
start_display
prepare_prefix
# Until the reference host lands, the test host shows registration and the refusals.
tools/wine-run.sh build/win32/boundary_tests.exe \
  --gtest_filter='PluginBoundary.RegisterPlugin*:PluginBoundary.Refuses*'
