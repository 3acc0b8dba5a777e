# Sourced by the Wine tests and the demo: a private Xvfb display and a Wine prefix inside the
# build tree, both torn down by wine_session_end (also on exit).
# Usage: wine_session_begin PREFIX_DIR VERSION(winxp|win2k|win98|winme)
# With WINE_USE_DISPLAY=1 and a DISPLAY set, the programs go to that display instead.

wine_session_begin() {
  WINE_PREFIX_DIR=$1
  local version=${2:-winxp}
  export WINEARCH=win32 WINEPREFIX=$WINE_PREFIX_DIR WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "${WINE_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
    local n=$((90 + RANDOM % 400))
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    export DISPLAY=":$n"
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  mkdir -p "$WINE_PREFIX_DIR"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 120 wineboot -i >/dev/null 2>&1 || true
    timeout 60 wineserver -w || true
  fi
  wreg add 'HKCU\Software\Wine' /v Version /d "$version" /f
  wreg add 'HKCU\Software\Wine\Fonts' /v Path /d 'Z:\usr\share\wine\fonts' /f
  wreg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f
  wreg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  timeout 30 wineserver -p >/dev/null 2>&1 &
  WINESERVER_KEEPER=$!
}

wreg() { timeout 30 wine reg "$@" >/dev/null 2>&1; }

# Kills this prefix's processes whose command line matches PATTERN, as a crash would end them;
# other Wine sessions on the machine (a benchmark, another tree's suite) are left alone.
wine_kill() {  # wine_kill PATTERN
  local pid
  for pid in $(pgrep -f "$1"); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
      kill -9 "$pid" 2>/dev/null
  done
  return 0
}

# The Windows directory of the prefix, where the settings file lives.
wine_windows_dir() { echo "$WINEPREFIX/drive_c/windows"; }

wine_session_end() {
  # Every step on its own: under "set -e" one failed kill (a keeper that already timed out)
  # would end the clean-up there, leave Xvfb running and turn a good run into a failure.
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  timeout 20 wineserver -w >/dev/null 2>&1 || true
  if [ -n "${WINESERVER_KEEPER:-}" ]; then
    kill "$WINESERVER_KEEPER" 2>/dev/null || true
    wait "$WINESERVER_KEEPER" 2>/dev/null || true
  fi
  WINESERVER_KEEPER=""
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  XVFB_PID=""
  return 0
}

# A suite's start: the session, the program and the helpers copied into C:\cv, which becomes
# the current folder; sets app and ini (the settings file).
wine_suite_begin() {  # wine_suite_begin WIN32_BUILD_DIR WORK_DIR VERSION
  trap wine_session_end EXIT
  wine_session_begin "$2/prefix" "$3"
  app="$WINEPREFIX/drive_c/cv"
  rm -rf "$app"
  mkdir -p "$app"
  cp "$1/src/win32/Corvalet.exe" "$1/hook/Snarehook.dll" "$1"/tools/*.exe "$app/"
  cd "$app" || return 1
  ini="$(wine_windows_dir)/QLCvl.ini"
}
