#!/usr/bin/env bash
# The release as a user gets it, checked after the test build inside the test command's
# Wine session: packed from the build; packed again from a second build of the same sources
# in another folder, which must give the same DLL, map and zip byte for byte; then
# unpacked, its checksums and its map checked against its DLL, and the reference host run
# with the DLL from it (one opening of the sample image's dialog under Wine).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
zip=$(tools/release.sh build/win32 dist | tail -1)
name=$(basename "$zip")

copy=build/reproduce/Ostravine
rm -rf build/reproduce
mkdir -p "$copy"
tar --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -xf - -C "$copy"
(cd "$copy" && cmake --preset win32 -DOSTRAVINE_TESTS=OFF >/dev/null && tools/release.sh build/win32 dist >/dev/null)
for file in build/win32/Ostravine.dll build/win32/Ostravine.map "dist/$name"; do
  cmp "$file" "$copy/$file" || { echo "a second build in another folder gave another $file" >&2; exit 1; }
done

run=build/release-run
rm -rf "$run"
mkdir -p "$run"
(cd "$run" && python3 -m zipfile -e "$zip" .)
folder=$run/${name%-win32.zip}
cp build/win32/OstravineHost.exe host/samples/sample.bmp "$folder/"
(cd "$folder" && OSTRAVINE_WINE_TIMEOUT=120 "$root/tools/wine-run.sh" ./OstravineHost.exe sample.bmp \
  --select 10,10,229,169 --run Plugins/Ostravine --screenshot shot.bmp --exit)
python3 tests/tools/check_release.py "$folder" "$folder/shot.bmp"
echo "Release: $name built twice to the same bytes, its map is its DLL's, and the host ran the DLL from it"
