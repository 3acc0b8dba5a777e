#!/usr/bin/env bash
# A shell that dies and a new one that starts, under Wine, for one version of Windows: icons in
# the panel, the menu and the tray, a window hidden by the minimizer and the button near the
# clock are all back in the new taskbar, and Corvalet goes on working.
# Usage: restart.sh WIN32_BUILD_DIR WORK_DIR winxp|win2k
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"
owner='C:\cv\trayowner.exe'
printf '[Panel items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerA\r\n[Menu items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerB\r\n' \
  "$owner" "$owner" >"$ini"

shell_args=(--state 'C:\cv\state.txt')
[ "$version" = win2k ] && shell_args+=(--win2k)
start classicshell.exe "${shell_args[@]}"
check "the stand-in taskbar is up" eventually 20 probe dump
check "... and reserves its edge for every program" share_work_area
start trayowner.exe --class OwnerA --icon '1:Alpha:ff0000'
start trayowner.exe --class OwnerB --icon '7:Bravo:0000ff'
start trayowner.exe --class OwnerC --icon '3:Charlie:ffff00'
check "the owners' icons are in the tray" eventually 20 buttons_are 3
start Corvalet.exe
check "Corvalet takes the tray" eventually 20 hidden OwnerA 1
check "... the menu's icon hidden" eventually 5 hidden OwnerB 7
start testwindow.exe --title "Notes one"
window_shown() { probe window TestWindow "Notes one" | grep -q 'visible=1'; }
window_hidden() { probe window TestWindow "Notes one" | grep -q 'visible=0'; }
check "a test window is shown" eventually 10 window_shown
move_to 550 162 && sleep 0.3 && xdotool click 3
sleep 0.5
probe menu >/dev/null && xdotool key Escape
check "the minimizer hides it behind an icon" eventually 5 eval 'window_hidden && shown_owner_tip "Notes one"'
has_button() { button >/dev/null; }
check "the button near the clock stands" eventually 5 has_button
old=$(probe hwnd Shell_TrayWnd)

# The shell dies as a crash would: no clean-up of its own.
wine_kill classicshell.exe
check "the shell is gone" eventually 10 eval '[ "$(probe hwnd Shell_TrayWnd)" != "$old" ]'
start classicshell.exe "${shell_args[@]}"
check "a new taskbar starts" eventually 20 probe dump
check "... the owners put their icons back" eventually 20 buttons_are 5
check "the panel's icon is hidden again" eventually 10 hidden OwnerA 1
check "... the menu's too" eventually 10 hidden OwnerB 7
check "... the tray's icon is shown" shown OwnerC 3
check "Corvalet's own icon is back" eventually 10 shown_owner_tip "Quillon Corvalet 2.0"
check "the hidden window's icon is back" shown_owner_tip "Notes one"
check "... and the window stays hidden" window_hidden
check "the button near the clock is back in the new taskbar" eventually 10 has_button
hover_own_icon
check "the panel opens from Corvalet's icon" eventually 5 panel_visible
move_to 300 300
eventually 10 panel_hidden
check "a new icon is placed by the new shell's reports" eval 'start trayowner.exe --class OwnerD --icon "4:Delta:00ff00"; eventually 20 shown OwnerD 4'
click_icon() {
  local at
  at=$(state | grep " tip=$1\$" | sed -n 's/.* at=\([-0-9]*\),\([-0-9]*\) .*/\1 \2/p')
  [ -n "$at" ] || return 1
  # shellcheck disable=SC2086
  move_to $at && sleep 0.3 && xdotool click 1
}
check "a click on the hidden window's icon brings it back" eval 'click_icon "Notes one" && eventually 5 window_shown'

probe close TMainForm "Quillon Corvalet" >/dev/null
check "Corvalet ends" eventually 20 no_main_form
check "... every icon is shown in the new tray" eventually 10 none_hidden
finish "restart ($version)"
