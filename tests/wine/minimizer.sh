#!/usr/bin/env bash
# The minimizer under Wine against the stand-in taskbar, for one version of Windows: a right
# click on a window's minimize button hides it behind an icon in the tray, the panel or the
# menu, and a click on that icon brings it back; exit and a kill bring every window back.
# Usage: minimizer.sh WIN32_BUILD_DIR WORK_DIR winxp|win2k
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"
settings() { printf '[MinOptions]\r\n%b' "$1" >"$ini"; }

window() { probe window TestWindow "$1"; }
window_shown() { window "$1" | grep -q 'visible=1'; }
window_hidden() { window "$1" | grep -q 'visible=0'; }
icon_line() { state | grep " tip=$1\$"; }
icon_shown() { icon_line "$1" | grep -q 'hidden=0'; }
icon_hidden() { icon_line "$1" | grep -q 'hidden=1'; }
no_icon() { ! icon_line "$1" >/dev/null; }
# A right click on a caption button of the window at (200, 150), 400 wide: minimize, maximize
# or close. A system menu that opens on the way is closed.
right_click_button() {  # right_click_button min|max|close
  local x
  case $1 in min) x=550 ;; max) x=569 ;; close) x=587 ;; esac
  move_to "$x" 162 && sleep 0.3 && xdotool click 3
  sleep 0.5
  probe menu >/dev/null && xdotool key Escape
  return 0
}
click_icon() {  # click_icon TIP: a left click on the tray button with that tip
  local at
  at=$(icon_line "$1" | sed -n 's/.* at=\([-0-9]*\),\([-0-9]*\) .*/\1 \2/p')
  [ -n "$at" ] || return 1
  # shellcheck disable=SC2086
  move_to $at && sleep 0.3 && xdotool click 1
}
restart_corvalet() {
  probe close TMainForm "Quillon Corvalet" >/dev/null
  eventually 20 no_main_form
  settings "$1"
  start Corvalet.exe
  eventually 20 one_main_form && sleep 1
}

shell_args=(--state 'C:\cv\state.txt')
[ "$version" = win2k ] && shell_args+=(--win2k)
settings ''
start classicshell.exe "${shell_args[@]}"
check "the stand-in taskbar is up" eventually 20 probe dump
check "... and reserves its edge for every program" share_work_area
start Corvalet.exe
check "Corvalet runs" eventually 20 one_main_form
sleep 1
start testwindow.exe --title "Notes one"
check "a test window is shown" eventually 10 window_shown "Notes one"

right_click_button min
check "a right click on its minimize button hides it" eventually 5 window_hidden "Notes one"
check "... behind a tray icon with its title as tip" eventually 5 icon_shown "Notes one"
click_icon "Notes one"
check "a left click on that icon brings the window back" eventually 5 window_shown "Notes one"
check "... and takes the icon away" eventually 5 no_icon "Notes one"

right_click_button max
right_click_button close
check "right clicks on maximize and close hide nothing" window_shown "Notes one"
probe close TestWindow "Notes one" >/dev/null
start testwindow.exe --title "No box" --nominbox
eventually 10 window_shown "No box"
right_click_button min
check "a window without a minimize box is never hidden" window_shown "No box"
probe close TestWindow "No box" >/dev/null

restart_corvalet 'MinimizeTo=2\r\n'
start testwindow.exe --title "Notes two"
eventually 10 window_shown "Notes two"
right_click_button min
check "with MinimizeTo=2 the window's icon goes to the panel" eventually 10 icon_hidden "Notes two"
hover_own_icon
check "... which opens with it" eventually 5 panel_visible
move_to $((1024 - 31 + 12)) $((738 - 31 + 12))
sleep 0.3
xdotool click 1
check "a click on it in the panel brings the window back" eventually 5 window_shown "Notes two"
check "... and the icon leaves" eventually 10 no_icon "Notes two"
move_to 300 600
eventually 10 panel_hidden

restart_corvalet 'MinimizeTo=3\r\n'
right_click_button min
check "with MinimizeTo=3 the window's icon goes to the menu" eventually 10 icon_hidden "Notes two"
heights=(20 20 9 20 20 9 20 9 20 20)
check "a click on its entry brings the window back" choose_entry 6 window_shown "Notes two"
check "... and the icon leaves" eventually 10 no_icon "Notes two"

restart_corvalet 'IsRightClick=0\r\n'
right_click_button min
check "with IsRightClick=0 nothing is hidden" window_shown "Notes two"

restart_corvalet ''
start testwindow.exe --title "Notes three" --at 200 150
start testwindow.exe --title "Notes four" --at 200 150
eventually 10 window_shown "Notes four"
for _ in 1 2 3; do
  right_click_button min
  sleep 1
done
check "three windows hidden" eventually 10 window_hidden "Notes three"
probe close TMainForm "Quillon Corvalet" >/dev/null
eventually 20 no_main_form
check "exit brings every hidden window back" eventually 10 window_shown "Notes two"
check "... all of them" window_shown "Notes three"
check "... every one" window_shown "Notes four"
check "... and leaves no icon of theirs" no_icon "Notes four"

start Corvalet.exe
eventually 20 one_main_form && sleep 1
right_click_button min
some_window_hidden() {
  local t
  for t in "Notes two" "Notes three" "Notes four"; do
    window_hidden "$t" && hidden_title=$t && return 0
  done
  return 1
}
hidden_title=""
check "the front window hidden again" eventually 5 some_window_hidden
wine_kill 'Corvalet.exe'
check "a kill brings the hidden window back" eventually 10 window_shown "${hidden_title:-none}"
check "... and leaves no icon of its own or of the minimizer with a dead owner" eventually 10 no_dead_owner

finish "wine minimizer $version"
