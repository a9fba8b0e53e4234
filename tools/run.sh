#!/usr/bin/env bash
# The main job: builds the plug-in and the reference host, and runs the host under Wine on
# the sample image with a selection, running the plug-in's command at start. With a display
# the host stays open for the user; without one it runs under Xvfb, saves a screenshot
# while the plug-in's window is open and quits.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/build-win32.sh Ostravine OstravineHost

. tools/wine-session.sh
had_display=${DISPLAY:-}
trap end_session EXIT
start_display
prepare_prefix
host=(build/win32/OstravineHost.exe host/samples/sample.bmp --select 10,10,229,169 --run Plugins/Ostravine)
if [ -n "$had_display" ]; then
  OSTRAVINE_WINE_TIMEOUT=86400 tools/wine-run.sh "${host[@]}"
else
  rm -f build/screenshot.bmp build/screenshot.png
  OSTRAVINE_WINE_TIMEOUT=120 tools/wine-run.sh "${host[@]}" --screenshot build/screenshot.bmp --exit
  convert build/screenshot.bmp build/screenshot.png
  echo "Screenshot of the host with the plug-in: $root/build/screenshot.png"
fi
