#!/usr/bin/env bash
# Makes the release of the plug-in: dist/Ostravine-VERSION-win32.zip, VERSION being the
# project's version (CMakeLists.txt). The DLL is shipped without its debugging information,
# which only the map needs: the map is made from it at link time, and dropping it moves no
# code. Two runs on one commit give the same bytes, in any folder at any time (strip, too,
# writes no time stamp: SOURCE_DATE_EPOCH=0).
# Usage: tools/release.sh [BUILD_FOLDER [OUTPUT_FOLDER]]
#   BUILD_FOLDER: a configured 32-bit build (default: the win32 preset's, built here).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=${1:-}
out=${2:-dist}
if [ -z "$build" ]; then
  tools/build-win32.sh Ostravine
  build=build/win32
else
  cmake --build "$build" --target Ostravine -j "$(nproc)"
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "$build has no project version" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SOURCE_DATE_EPOCH=0 i686-w64-mingw32-strip --strip-debug -o "$work/Ostravine.dll" "$build/Ostravine.dll"
mkdir -p "$out"
zip=$out/Ostravine-$version-win32.zip
python3 tools/make_release.py --version "$version" --dll "$work/Ostravine.dll" --map "$build/Ostravine.map" \
  --source "$root" --output "$zip"
echo "$(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")"
