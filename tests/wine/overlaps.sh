#!/usr/bin/env bash
# What arrives while something else runs, under Wine: a new icon while the tray menu is open
# does not change what its entries do, and a "TaskbarCreated" broadcast to the taskbar that is
# already there makes nothing twice and brings no hidden window back.
# Usage: overlaps.sh WIN32_BUILD_DIR WORK_DIR winxp|win2k
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"
# New icons go to the menu; the button near the clock folds the tray.
printf '[Common]\r\nApStyle=3\r\nTrayButton=1\r\n' >"$ini"

shell_args=(--state 'C:\cv\state.txt')
[ "$version" = win2k ] && shell_args+=(--win2k)
start classicshell.exe "${shell_args[@]}"
check "the stand-in taskbar is up" eventually 20 probe dump
check "... and reserves its edge for every program" share_work_area
start Corvalet.exe
check "Corvalet's own icon is in the tray" eventually 20 shown_owner_tip "Quillon Corvalet 2.0"
has_button() { button >/dev/null; }
check "the button near the clock stands" eventually 10 has_button

# The menu holds no icon entry when it opens; an icon added meanwhile would join it above
# "Enabled" and "Exit".
heights=(20 20 9 20 20 9 9 20 20)  # About Help - Options Panel - - Enabled Exit
check "a right click on Corvalet's icon opens the menu" open_menu
start trayowner.exe --class OwnerM --icon '2:Mike:00ff00'
check "a program adds an icon while the menu is open" eventually 20 eval 'button_line OwnerM 2 | grep -q .'
sleep 1
check "... it is not placed while the menu is open" shown OwnerM 2
check "... the menu is still the one that opened" eval 'probe menu >/dev/null'
click_entry 8
check "\"Exit\" as shown ends Corvalet" eventually 20 no_main_form
check "... it did not switch Corvalet off" eval '! grep -qs "^Enabled=0" "$ini"'

start Corvalet.exe
check "Corvalet starts again" eventually 20 shown_owner_tip "Quillon Corvalet 2.0"
start trayowner.exe --class OwnerN --icon '3:November:0000ff'
check "... and places a new icon in the menu" eventually 20 hidden OwnerN 3
start testwindow.exe --title "Notes two"
window_shown() { probe window TestWindow "Notes two" | grep -q 'visible=1'; }
window_hidden() { probe window TestWindow "Notes two" | grep -q 'visible=0'; }
check "a test window is shown" eventually 10 window_shown
move_to 550 162 && sleep 0.3 && xdotool click 3
sleep 0.5
probe menu >/dev/null && xdotool key Escape
check "the minimizer hides it behind an icon" eventually 5 eval 'window_hidden && shown_owner_tip "Notes two"'
check "the button near the clock stands" eventually 10 has_button
buttons_before=$(state | sed -n 's/^buttons //p')

check "some program broadcasts \"TaskbarCreated\" to the same taskbar" probe broadcast
sleep 3
check "... one button near the clock" is "$(probe children Shell_TrayWnd QLTrayButton)" 1
check "... the hidden window stays hidden" window_hidden
check "... its icon is still there, once" is "$(state | grep -c "tip=Notes two\$")" 1
check "... Corvalet's own icon once" is "$(state | grep -c "tip=Quillon Corvalet 2.0\$")" 1
check "... as many tray buttons as before" is "$(state | sed -n 's/^buttons //p')" "$buttons_before"
check "... the menu's icon stays hidden" hidden OwnerN 3
check "... the button near the clock still unfolded" button_text_is '>'

# A burst: five programs remove, add again and change their icon twenty times each, 300
# changes as fast as the shell takes them.
burst=$(timeout 300 wine burstbench.exe 5 20 3 --no-menu 2>/dev/null | tr -d '\r')
check "a burst of 300 tray changes ends with every owner's icon in the menu" \
  eval 'echo "$burst" | grep -q " placed=5/5$"'
sleep 2
check "... and no tip's atom left" is "$(probe atoms 'burst ')" 0
check "... its owners' icons gone with them" eventually 10 eval '! state | grep -q "tip=burst "'

probe close TMainForm "Quillon Corvalet" >/dev/null
check "Corvalet ends" eventually 20 no_main_form
check "... the hidden window comes back" eventually 10 window_shown
finish "overlaps ($version)"
