#!/usr/bin/env bash
# Installs what is missing and builds the 32-bit Windows targets named (all without a name).
# A build folder configured by an older set-up (another compiler) is configured afresh.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
[ "$(id -u)" = 0 ] && tools/install-deps.sh
cmake --preset win32 >/dev/null || cmake --preset win32 --fresh >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build --preset win32 -j "$(nproc)" "${targets[@]}"
