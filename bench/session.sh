# Sourced by the Wine benchmarks: a session with the benchmark build of the hook in the prefix's
# C:\cv (with "shipped", the hook as it ships), and one round of the stand-in taskbar and
# Corvalet (new icons go to the panel).
# Usage: bench_session_begin WORK_DIR [shipped] (BENCH_HOOK_DLL: that library instead); then
# per round: bench_round_begin ... bench_round_end
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/tests/wine/session.sh"
. "$root/tests/wine/checks.sh"

bench_session_begin() {
  trap wine_session_end EXIT
  wine_session_begin "$1" winxp
  app="$WINEPREFIX/drive_c/cv"
  rm -rf "$app"
  mkdir -p "$app"
  local hook="$root/build/win32/hook/bench/Snarehook.dll"
  [ "${2:-}" = shipped ] && hook="$root/build/win32/hook/Snarehook.dll"
  # Another build of the library to compare with, the rest as built here.
  [ -n "${BENCH_HOOK_DLL:-}" ] && hook=$BENCH_HOOK_DLL
  cp "$root"/build/win32/src/win32/Corvalet.exe "$hook" "$root"/build/win32/tools/*.exe \
    "$root"/build/win32/tools/*.dll "$app/"
  cd "$app" || return 1
  ini="$(wine_windows_dir)/QLCvl.ini"
}

bench_round_begin() {
  printf '[Common]\r\nApStyle=2\r\n' >"$ini"
  # The lean tray by default: a slower stand-in hides what Corvalet costs.
  case ${BENCH_TRAY:-lean} in
    lean) start leantray.exe --state 'C:\cv\state.txt' ;;
    *) start classicshell.exe --state 'C:\cv\state.txt' ;;
  esac
  eventually 20 probe dump >/dev/null
  start Corvalet.exe
  eventually 20 one_main_form
  sleep 1
}

# Corvalet ends, and every program of the round with the Wine session, which starts again.
bench_round_end() {
  if ! no_main_form; then
    probe close TMainForm "Quillon Corvalet" >/dev/null
    eventually 20 no_main_form
  fi
  timeout 20 wineserver -k >/dev/null 2>&1
  timeout 20 wineserver -w >/dev/null 2>&1
  # A session about to end keeps none: a server kept after its -k would outlive the benchmark.
  [ "${BENCH_NO_KEEPER:-0}" = 1 ] || (timeout 30 wineserver -p >/dev/null 2>&1 &)
}
