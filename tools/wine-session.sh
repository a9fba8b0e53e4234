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
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
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
  # One server for the whole session saves its start-up for every test program.
  wineserver -p 2>/dev/null || true
}

end_session() {
  wineserver -k 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# The tests' stand-in for the system's mail library (tests/mail): into the prefix's system
# folder, where the plug-in takes mapi32.dll from, and preferred to Wine's own.
install_mail_stand_in() {
  cp "$1" "$WINEPREFIX/drive_c/windows/system32/mapi32.dll"
  timeout 60 wine reg add 'HKCU\Software\Wine\DllOverrides' /v mapi32 /d native /f >/dev/null 2>&1
}
