#!/usr/bin/env bash
# The panel and the menu from the keyboard and for screen readers, under Wine against the
# stand-in taskbar, for one version of Windows: real key presses (xdotool) reach every cell,
# each icon's program receives what the shell sends for its icon's version, Escape gives the
# foreground back, and the names are read back through oleacc as a screen reader reads them.
# Usage: keyboard.sh WIN32_BUILD_DIR WORK_DIR winxp|win2k
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"
owner='C:\cv\trayowner.exe'
printf '[Common]\r\nTrayButton=1\r\n[Panel items]\r\nCount=2\r\nIM_0=%s\r\nID_0=OwnerA\r\nIM_1=%s\r\nID_1=OwnerV\r\n[Menu items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerM\r\n' \
  "$owner" "$owner" "$owner" >"$ini"
key() { xdotool key "$@" && sleep 0.4; }
acc() { timeout 20 wine accprobe.exe "$@" 2>/dev/null | tr -d '\r'; }
count() { tr -d "\r" <"$1" 2>/dev/null | grep -c "callback id=$2 mouse=$3$"; }
shots="$work/shots"
mkdir -p "$shots"

shell_args=(--state 'C:\cv\state.txt')
[ "$version" = win2k ] && shell_args+=(--win2k)
start classicshell.exe "${shell_args[@]}"
check "the stand-in taskbar is up" eventually 20 probe dump
share_work_area
# One by one, so that the panel's cells stand in this order.
start trayowner.exe --class OwnerA --log 'C:\cv\a.log' --icon '1:Alpha:ff0000'
eventually 20 buttons_are 1
start trayowner.exe --class OwnerV --log 'C:\cv\v.log' --icon '5:Victor:00ff00'
eventually 20 buttons_are 2
start trayowner.exe --class OwnerM --log 'C:\cv\m.log' --icon '7:Mike:0000ff'
check "the owners' icons are in the tray" eventually 20 buttons_are 3
start testwindow.exe --title "Notes" --at 100 100
start Corvalet.exe
check "Corvalet takes the tray" eventually 20 hidden OwnerV 5
check "the screen reader reads the name of the button near the clock" eval 'acc button | grep -q "^button name=Hide or show the tray role="'
# The library in the shell sees the versions programs set from now on.
probe send OwnerV "version 5 3" >/dev/null
probe send OwnerM "version 7 3" >/dev/null
sleep 1
# Without a window manager, this Wine takes keys from the X server only once a pointer event
# has come; a click on the window of another program also gives it the foreground.
move_to 300 200 && xdotool click 1 && sleep 0.5
check "a window of another program has the foreground" eventually 5 eval '[ "$(acc foreground)" = TestWindow ]'

# The own icon's Enter, as the shell posts it for an icon of version 3: the panel, by keys alone.
acc shellkey select
check "the own icon's Enter opens the panel" eventually 5 panel_visible
check "... the screen reader reads the panel's name" eval 'acc panel | grep -q "^panel name=Corvalet Panel role=22 cells=2$"'
check "... and each cell's tip, as a button" eval 'acc panel | grep -q "^cell 1 name=Alpha role=43" && acc panel | grep -q "^cell 2 name=Victor role=43"'
check "... the first cell has the focus and is selected" eval 'acc panel | grep -q "^cell 1 .* state=300006$"'
sleep 0.5
import -display "$DISPLAY" -window root "$shots/keyboard-panel.png" 2>/dev/null
# The mark runs in the gap two pixels around the first cell (7 in from the panel's corner).
check "... with a visible focus mark around it, in the selection's colour" eval '[ "$(pixel 979 712)" != "$(pixel 978 712)" ] && [ "$(pixel 979 712)" = "$(pixel 980 712)" ] && [ "$(pixel 979 712)" != "$(pixel 1000 712)" ]'
key Return
check "Enter on a first-version icon sends a right click" eventually 5 eval '[ "$(count a.log 1 204)" = 1 ] && [ "$(count a.log 1 205)" = 1 ]'
key Right
check "Right moves the focus to the next cell" eval 'acc panel | grep -q "^cell 2 .* state=300006$"'
key space
check "Space on a version-3 icon sends NIN_KEYSELECT" eventually 5 eval '[ "$(count v.log 5 401)" = 1 ]'
key shift+F10
check "Shift+F10 on it sends WM_CONTEXTMENU" eventually 5 eval '[ "$(count v.log 5 7b)" = 1 ]'
key Menu
check "... and so does the context-menu key" eventually 5 eval '[ "$(count v.log 5 7b)" = 2 ]'
check "... never a right click to a version-3 icon" eval '[ "$(count v.log 5 204)" = 0 ]'
key Right
check "Right stops at the last cell" eval 'acc panel | grep -q "^cell 2 .* state=300006$"'
key Home
key Menu
check "Home goes back to the first cell, whose menu key sends a right click" eventually 5 eval '[ "$(count a.log 1 204)" = 2 ]'
key End
check "End goes to the last" eval 'acc panel | grep -q "^cell 2 .* state=300006$"'
key Escape
check "Escape closes the panel" eventually 5 panel_hidden
check "... and gives the foreground back" eventually 5 eval '[ "$(acc foreground)" = TestWindow ]'
acc shellkey select && eventually 5 panel_visible && key alt+F4
check "Alt+F4 closes the panel as Escape does, to be opened again" eventually 5 eval 'panel_hidden && [ "$(acc foreground)" = TestWindow ]'

# The menu: its new entry and its shortcut-menu key. Under headless Wine a menu whose owner has
# no mapped window takes no X keys, so its entry is chosen with the mouse here.
heights=(20 20 9 20 20 9 20 9 20 20)  # About Help - Options Panel - Mike - Enabled Exit
check "\"Corvalet Panel\" in the menu opens the panel with the focus" choose_entry 4 eval 'panel_visible && acc panel | grep -q "^cell 1 .* state=300006$"'
key Escape
check "... Escape closes it" eventually 5 panel_hidden
acc shellkey menu
check "the own icon's shortcut-menu key opens the menu" eventually 5 probe menu
move_to 300 200 && xdotool click 1
check "... which a click elsewhere closes" eventually 5 eval '! probe menu >/dev/null'

# The mouse as it was, with what version 3 adds after a left click.
hover_own_icon
check "the mouse still opens the panel" eventually 5 panel_visible
check "... without a focus mark" eval '! acc panel | grep -q "state=300006$" && [ "$(pixel 979 712)" = "$(pixel 978 712)" ]'
move_to 1008 722
sleep 0.3
xdotool click 1
check "a left click on a version-3 cell is followed by NIN_SELECT" eventually 5 eval '[ "$(count v.log 5 400)" = 1 ]'
check "... after the release" eval 'tr -d "\r" <v.log | grep "mouse=" | tail -2 | head -1 | grep -q "mouse=202$"'
move_to 300 300
check "Corvalet exits" eval 'probe close TMainForm "Quillon Corvalet" && eventually 20 no_main_form'
finish "wine keyboard $version"
