#!/usr/bin/env bash
# Programs acting on the tray at once, each a process of its own, with new icons going to the
# panel: whatever overlaps, every program's icon ends in the panel, its program is remembered in
# [Panel items], and no atom of any tip (the icons' that stayed included) is left alive.
# Against a tray that lays itself out inside Shell_NotifyIcon and one that lays out later.
# Usage: programs.sh WIN32_BUILD_DIR WORK_DIR [VERSION]
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=${3:-winxp}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"

drive() {  # drive TRAY_FLAGS ARGS...: a fresh stand-in and settings file, one driver's line
  local flags=$1
  shift
  printf '[Common]\r\nApStyle=2\r\n' >"$ini"
  rm -f driver.txt
  [ "$version" = win2k ] && flags="$flags --win2k"
  start classicshell.exe --count $flags --state 'C:\cv\state.txt'
  eventually 20 probe dump >/dev/null || return 1
  # A file, not a pipe: a program the driver started may outlive it.
  timeout 240 wine burstprograms.exe "$@" >driver.txt 2>/dev/null
  tr -d '\r' <driver.txt
  if ! no_main_form; then
    probe close TMainForm "Quillon Corvalet" >/dev/null
    eventually 20 no_main_form
  fi
  # The next stand-in starts in a session of its own.
  timeout 20 wineserver -k >/dev/null 2>&1
  timeout 20 wineserver -w >/dev/null 2>&1
  (timeout 30 wineserver -p >/dev/null 2>&1 &)
}
field() { echo "$1" | sed -n "s/.* $2=\([^ ]*\).*/\1/p"; }

for tray in "" --fast-tray; do
  name=${tray:+fast tray}
  name=${name:-tray laid out in the call}
  line=$(drive "$tray" ten --before-ms 4000 --after-ms 12000)
  echo "  $line"
  check "$name: ten programs that start at once beside nine icons all go to the panel, remembered" \
    is "$(field "$line" placed)" 10/10
  check "... no atom of a tip is left" is "$(field "$line" atoms_left)" 0
done
line=$(drive --fast-tray burst 10 15 --no-menu)
echo "  $line"
check "fast tray: ten programs that add, remove and change their icon at once all end in the panel, remembered" \
  is "$(field "$line" placed)" 10/10
check "... no atom of a tip is left" is "$(field "$line" atoms_left)" 0
finish "programs ($version)"
