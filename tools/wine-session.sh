# Sourced by the test and run commands: an X server when there is no display, and a
# ready project-local Wine prefix with a persistent wineserver.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 400); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${OSTRAVINE_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
  done
  echo "could not start Xvfb" >&2
  return 1
}

prepare_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/.ostravine-ready" ]; then
    echo "Preparing the Wine prefix in $WINEPREFIX"
    timeout 300 wineboot -i >/dev/null 2>&1 || true
    # Without a window manager Wine waits about 2 s whenever a managed window hides.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A crashing test must fail, not wait for someone to close the crash dialog.
    timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    timeout 60 wineserver -w || true
    touch "$WINEPREFIX/.ostravine-ready"
  fi
  install_wine_fonts
  # One server for the whole session saves its start-up for every test program.
  wineserver -p 2>/dev/null || true
}

# Debian's Wine keeps its own fonts (package fonts-wine) in /usr/share/wine/fonts but
# neither loads them from there nor copies them into a new prefix, so the prefix lacks
# Marlett, the symbol font of the caption buttons (drawn as the letters "0 1 r" in another
# font), and Tahoma, the dialog font. Copied into the prefix's font folder, Wine loads them.
install_wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -f "$fonts/marlett.ttf" ] && return 0
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/* "$fonts/"
}

# The prefixes in which the styled caption is tested: Wine reports Windows XP, with visual
# styles off or on. Their names are also those the test build gives the caption tests.
xp_prefix() { echo "$root/build/wineprefix-xp-$1"; }

# A prefix like the default one that reports Windows XP, with the visual style off
# ("classic") or on ("themed": the theme file Wine ships, stored as Windows stores the
# active theme). Its server does not outlive the set-up.
prepare_xp_prefix() {
  local style=$1 prefix
  prefix=$(xp_prefix "$style")
  [ -f "$prefix/.ostravine-xp-ready" ] && return 0
  echo "Preparing the Windows XP prefix in $prefix"
  (
    export WINEPREFIX=$prefix
    prepare_prefix >/dev/null
    local theme='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' active=0
    [ "$style" = themed ] && active=1
    timeout 60 wine reg add 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null 2>&1
    timeout 60 wine reg add "$theme" /v ThemeActive /d $active /f >/dev/null 2>&1
    timeout 60 wine reg add "$theme" /v DllName /d 'C:\windows\resources\themes\light\light.msstyles' /f >/dev/null 2>&1
    timeout 60 wine reg add "$theme" /v ColorName /d Blue /f >/dev/null 2>&1
    timeout 60 wine reg add "$theme" /v SizeName /d NormalSize /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    timeout 60 wineserver -w || true
  )
  touch "$prefix/.ostravine-xp-ready"
}

prepare_xp_prefixes() {
  prepare_xp_prefix classic
  prepare_xp_prefix themed
}

# A copy of a prepared prefix whose screen has another resolution, as the display settings
# store it ("LogPixels"); Wine's metrics and fonts follow it. The copy is made while the
# source's registry is on disk: its server has written it and stays out of the copy.
prepare_dpi_prefix() {
  local source=$1 target=$2 dpi=$3
  [ -f "$target/.ostravine-dpi-ready" ] && return 0
  echo "Preparing the $dpi dpi prefix in $target"
  rm -rf "$target"
  cp -a --reflink=auto "$source" "$target"
  (
    export WINEPREFIX=$target
    timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    timeout 60 wineserver -w || true
  )
  touch "$target/.ostravine-dpi-ready"
}

# The default prefix at 120, 144 and 192 dpi, and both Windows XP prefixes at 144.
prepare_dpi_prefixes() {
  local dpi look
  for dpi in 120 144 192; do prepare_dpi_prefix "$WINEPREFIX" "$root/build/wineprefix-dpi$dpi" "$dpi"; done
  for look in classic themed; do prepare_dpi_prefix "$(xp_prefix "$look")" "$(xp_prefix "$look")-144" 144; done
}

end_session() {
  wineserver -k 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# The tests' stand-in for the system's mail library (tests/mail): into the prefix's system
# folder, where the plug-in takes mapi32.dll from, and preferred to Wine's own. Wine's file
# is kept beside it and put back once the tests that need the stand-in are done, so that the
# main job, which shares the prefix, sends its bug reports through Wine's library again.
install_mail_stand_in() {
  local system="$WINEPREFIX/drive_c/windows/system32"
  grep -q "Wine builtin DLL" "$system/mapi32.dll" && cp "$system/mapi32.dll" "$system/mapi32.dll.wine"
  cp "$1" "$system/mapi32.dll"
  timeout 60 wine reg add 'HKCU\Software\Wine\DllOverrides' /v mapi32 /d native /f >/dev/null 2>&1
}

remove_mail_stand_in() {
  local system="$WINEPREFIX/drive_c/windows/system32"
  timeout 60 wine reg delete 'HKCU\Software\Wine\DllOverrides' /v mapi32 /f >/dev/null 2>&1 || true
  [ -f "$system/mapi32.dll.wine" ] && mv "$system/mapi32.dll.wine" "$system/mapi32.dll"
  return 0
}
