#!/usr/bin/env bash
# Pictures of the profile dialog for the README, in the three settings the caption tests
# run in: Windows XP with visual styles off and on (the styled caption) and Wine's default
# version (the platform's caption), and the default version at 144 dpi. Each is the
# reference host's screenshot under Xvfb, cut down to the dialog, which opens alone near the
# screen's top right corner (at 144 dpi it reaches into the left half, from its top down).
# Then the host's view of a band and of the readout's highlighted sample beside the dialog,
# worked by xdotool, with the host's image enlarged below it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/build-win32.sh Ostravine OstravineHost
command -v xdotool >/dev/null || apt-get install -y xdotool >/dev/null

. tools/wine-session.sh
unset DISPLAY
trap end_session EXIT
start_display
prepare_prefix
prepare_xp_prefixes
prepare_dpi_prefixes
out=docs/screenshots
mkdir -p "$out"
shoot() {
  local name=$1 prefix=$2 crop=${3:-640x1024+640+0} shot=build/screenshot-$1.bmp
  rm -f "$shot"
  WINEPREFIX=$prefix OSTRAVINE_WINE_TIMEOUT=120 tools/wine-run.sh build/win32/OstravineHost.exe \
    host/samples/sample.bmp --select 10,10,229,169 --run Plugins/Ostravine --screenshot "$shot" --exit
  convert "$shot" -crop "$crop" +repage -trim +repage "$out/profile-$name.png"
  echo "$root/$out/profile-$name.png"
}
shoot xp-classic "$(xp_prefix classic)"
shoot xp-themed "$(xp_prefix themed)"
shoot default "$WINEPREFIX"
shoot default-144dpi "$root/build/wineprefix-dpi144" 923x984+357+40

# A zoomed view with a range and its statistics, the dialog worked by a program of its own.
tools/build-win32.sh zoomed_range_picture >/dev/null
# Then the peak fitted on that range, with the figures window open on the dialog's left.
# Last its curves kept, and another image's plot saved over them with "Save plot..." as a
# PNG file.
(cd build/win32 && OSTRAVINE_WINE_TIMEOUT=120 ../../tools/wine-run.sh ./zoomed_range_picture.exe zoomed-range.ppm \
  fitted-peak.ppm exported-plot.png)
convert build/win32/zoomed-range.ppm -crop 720x560+560+0 +repage -trim +repage docs/screenshots/zoomed-range.png
echo "$root/docs/screenshots/zoomed-range.png"
convert build/win32/fitted-peak.ppm -crop 1000x445+286+34 +repage -trim +repage docs/screenshots/fitted-peak.png
echo "$root/docs/screenshots/fitted-peak.png"
cp build/win32/exported-plot.png docs/screenshots/exported-plot.png
echo "$root/docs/screenshots/exported-plot.png"

# Line width 15 from the plot's context menu (the submenu by its mnemonic, then its fifth
# item), and the cursor over sample 101: the shot is taken 9 s after the dialog opens.
band=build/screenshot-band.bmp
rm -f "$band"
OSTRAVINE_WINE_TIMEOUT=120 tools/wine-run.sh build/win32/OstravineHost.exe host/samples/sample.bmp \
  --select 10,10,229,169 --run Plugins/Ostravine --screenshot "$band" --shot-delay 9000 --exit &
host=$!
dialog=
for _ in $(seq 100); do
  dialog=$(xdotool search --name '^Ostravine$' 2>/dev/null | head -1 || true)
  [ -n "$dialog" ] && break
  sleep 0.2
done
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + 150)) $((Y + 120)) click 3
sleep 0.7
xdotool key l
sleep 0.4
xdotool key Down Down Down Down Return
sleep 1
xdotool mousemove $((X + 230)) $((Y + 130))
wait $host
convert "$band" -crop 1280x830+0+0 +repage \( "$band" -crop 240x180+6+44 +repage -filter point -resize 250% \
  -bordercolor white -border 2 \) -geometry +14+362 -composite docs/screenshots/band-and-highlight.png
echo "$root/docs/screenshots/band-and-highlight.png"

# The line window (Ctrl+L), its line's bottom right end dragged onto the ring by xdotool;
# the host's view shows the moved line's marks.
line=build/screenshot-line.bmp
rm -f "$line"
OSTRAVINE_WINE_TIMEOUT=120 tools/wine-run.sh build/win32/OstravineHost.exe host/samples/sample.bmp \
  --select 10,10,229,169 --run Plugins/Ostravine --screenshot "$line" --shot-delay 9000 --exit &
host=$!
dialog=
for _ in $(seq 100); do
  dialog=$(xdotool search --name '^Ostravine$' 2>/dev/null | head -1 || true)
  [ -n "$dialog" ] && break
  sleep 0.2
done
sleep 1.5
xdotool key ctrl+l
sleep 1.5
window=$(xdotool search --name '^Line$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$window")"
# The overview's client area starts under the tool window's caption; the end at image pixel
# (229, 169) sits at about (323, 264) of the window, the ring's right edge at (260, 150).
xdotool mousemove $((X + 339)) $((Y + 273)) mousedown 1
for step in $(seq 8); do
  xdotool mousemove $((X + 339 - 8 * step)) $((Y + 273 - 14 * step))
  sleep 0.05
done
xdotool mouseup 1
# Then moved under the host's window, which it covers in part.
sleep 0.5
xdotool windowmove "$window" 300 380
wait $host
convert "$line" -crop 1280x780+0+0 +repage -trim +repage docs/screenshots/line-window.png
echo "$root/docs/screenshots/line-window.png"
