#!/usr/bin/env bash
# The layer check on a copy of the project's layer line: a tree whose engine includes a
# header of the dialog's folder fails, naming the include; the same tree without it passes.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
grep -m1 '^Layers, bottom up:' "$root/README.md" >"$tree/README.md"
mkdir -p "$tree/profile" "$tree/dialog"
echo '#include "profile/Engine.h"' >"$tree/dialog/Form.cpp"
echo '#include "profile/Other.h"' >"$tree/profile/Engine.cpp"
"$root/tools/check-layers.sh" "$tree" >/dev/null
echo '#include "dialog/Form.h"' >>"$tree/profile/Engine.cpp"
if output=$("$root/tools/check-layers.sh" "$tree"); then
  echo "an include from the engine into the dialog's folder passed" >&2
  exit 1
fi
grep -q '^profile/Engine.cpp:2: profile/ includes dialog/, a higher layer$' <<<"$output" || { echo "$output" >&2; exit 1; }
echo "the layer check catches an include from the engine into the dialog's folder"
