#!/usr/bin/env bash
# Corvalet, Snarehook.dll and the stand-in taskbar together under Wine, for one version of
# Windows: the tray is read, icons go to their remembered places, new icons follow ApStyle,
# tips and removals are picked up, a second instance is refused, and both a clean exit and a
# kill hand every icon back.
# Usage: e2e.sh WIN32_BUILD_DIR WORK_DIR winxp|win2k
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"
owner='C:\cv\trayowner.exe'
printf '[Common]\r\nApStyle=2\r\n[Panel items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerA\r\n[Menu items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerB\r\n' \
  "$owner" "$owner" >"$ini"

shell_args=(--state 'C:\cv\state.txt')
[ "$version" = win2k ] && shell_args+=(--win2k)
start classicshell.exe "${shell_args[@]}"
check "the stand-in taskbar is up" eventually 20 probe dump
start trayowner.exe --class OwnerA --log 'C:\cv\a.log' --icon '1:Alpha one:ff0000' --icon '2:Alpha two:00ff00'
start trayowner.exe --class OwnerB --icon '7:Bravo:0000ff'
start trayowner.exe --class OwnerC --log 'C:\cv\c.log' --icon '3:Charlie:ffff00'
check "the owners' icons are in the tray" eventually 20 buttons_are 4

timeout 60 wine slowform.exe 'C:\cv\slow.txt' >/dev/null 2>&1
check "a receiver slower than the hook's bound still reads every tip, none lost" \
  grep -qsE 'tip read=[1-9][0-9]* missed=0' slow.txt
check "... and the tray is whole again after that receiver" none_hidden
timeout 60 wine slowform.exe 'C:\cv\slowbatch.txt' --batch >/dev/null 2>&1
tray_tips_gone() {
  local tip
  for tip in "Alpha one" "Alpha two" "Bravo" "Charlie"; do [ "$(probe atom "$tip")" = 0 ] || return 1; done
}
check "a receiver busy past the hook's bound after taking an answer's begin leaves no tip atom alive" \
  eval 'grep -qs "^batch " slowbatch.txt && tray_tips_gone'

start Corvalet.exe
check "the tray is enumerated into Corvalet's list" eventually 20 rows_have "Alpha one" "Alpha two" "Bravo" "Charlie" "Quillon Corvalet 2.0"
check "icons remembered in the panel are hidden" eventually 10 hidden OwnerA 1
check "... all of that program's icons" hidden OwnerA 2
check "icons remembered in the menu are hidden" hidden OwnerB 7
check "the rest stay shown" shown OwnerC 3
check "Corvalet's own icon stays shown" shown_owner_tip "Quillon Corvalet 2.0"

click_button OwnerC 3
check "a click on a tray button reaches its owner as the callback message" \
  eventually 5 grep -qs 'callback id=3 mouse=201' c.log
check "... the mouse's moves included" grep -qs 'callback id=3 mouse=200' c.log

probe showform 40 40 >/dev/null
sleep 0.5
check "Corvalet draws the icons it lists" eventually 5 icon_colour "Alpha one" ff0000
check "... each with its own picture" eventually 5 icon_colour "Charlie" ffff00
probe showform -500 -500 >/dev/null

start trayowner.exe --class OwnerD --icon '4:Delta:00ffff'
check "a new icon follows ApStyle (the panel)" eventually 10 hidden OwnerD 4
check "... and is remembered" eventually 5 grep -qs 'ID_1=OwnerD' "$ini"

probe send OwnerA "delete 1" >/dev/null
check "a program placed in the panel removes an icon: it drops out" eventually 10 rows_lack "Alpha one"
# While Corvalet's menu is open it holds the hook's reports: what is hidden then, the library
# hid on the shell's thread.
check "Corvalet's menu opens, and Corvalet holds the reports meanwhile" open_menu
probe send OwnerA "add 1 Alpha back ff0000" >/dev/null
check "... the program adds the icon again: hidden as its add returns, never shown in the tray" \
  eventually 5 grep -qs 'added id=1 hidden=1' a.log
probe send OwnerC "add 9 Charlie two ffff00" >/dev/null
check "... while a program not placed yet has its new icon shown" \
  eventually 5 grep -qs 'added id=9 hidden=0' c.log
xdotool key Escape
check "... and once the menu is closed both are listed, the new icon placed by ApStyle" \
  eval 'eventually 10 rows_have "Alpha back" "Charlie two" && eventually 10 hidden OwnerC 9'
probe send OwnerC "delete 9" >/dev/null
check "... and the second icon leaves again" eventually 10 rows_lack "Charlie two"
probe send OwnerA quit >/dev/null
check "an owner that quits takes its icons" eventually 10 buttons_are 4
start trayowner.exe --class OwnerA --icon '5:Alpha again:ff00ff'
check "an owner that restarts goes back to its remembered place" eventually 10 hidden OwnerA 5

probe send OwnerC "modify 3 Charlie changed" >/dev/null
start trayowner.exe --class OwnerE --icon '6:Echo:808080'
check "a changed tip is picked up at the next re-reading" eventually 10 rows_have "Charlie changed" "Echo"
probe send OwnerB "delete 7" >/dev/null
check "a removed icon drops out" eventually 10 rows_lack "Bravo"

check "the notification area keeps the room near the clock free (24 pixels)" notify_right_is 999
probe buttonswitch off >/dev/null
check "THM_BUTTONSWITCH off gives the room back" eventually 5 notify_right_is 1023
probe buttonswitch on >/dev/null
check "... and on makes it again" eventually 5 notify_right_is 999

probe endsession >/dev/null
check "the end of the Windows session hands every icon back" eventually 5 none_hidden
check "... and leaves the stored setting on" grep -qs '^Enabled=1' "$ini"
probe close TMainForm "Quillon Corvalet" >/dev/null
check "... and Corvalet still exits cleanly afterwards" eventually 20 no_main_form
start Corvalet.exe
check "at the next start the icons go back to their places" eventually 20 hidden OwnerA 5

second_start
check "a second Corvalet refuses to start" [ "${warning_text:-}" = "Can not be more then 2 Corvalets in the memory.||Please close one." ]
check "... leaving exactly one" one_main_form

probe close TMainForm "Quillon Corvalet" >/dev/null
check "Corvalet exits on WM_CLOSE" eventually 20 no_main_form
check "exit shows every button again" eventually 5 none_hidden
check "... and removes Corvalet's own icon" eventually 5 buttons_are 4
check "... and takes the library out of the shell's windows" eval 'state | grep -qx "procedures own=1"'
check "no tip atom is left behind" no_atoms "Alpha again" "Charlie changed" "Delta" "Echo" "Alpha two"

twin_start  # the window search alone would let both run
check "two Corvalets started at the same moment: one refuses" [ -n "${warning_text:-}" ]
sleep 1
check "... leaving exactly one" eventually 10 one_main_form
check "Corvalet starts again" eventually 20 hidden OwnerA 5
wine_kill 'Corvalet.exe'
check "killing Corvalet still leaves every button shown" eventually 10 none_hidden
check "... and takes its own icon out of the tray: no button with a dead owner is left" \
  eventually 10 no_dead_owner
start trayowner.exe --class OwnerF --icon '8:Foxtrot:404040'
check "... and the tray goes on working" eventually 10 buttons_are 5
start Corvalet.exe
check "a Corvalet started after the kill takes the tray again" eventually 20 hidden OwnerA 5
check "another module subclasses the shell's windows on top of the hook" probe subclass
probe close TMainForm "Quillon Corvalet" >/dev/null
check "... and hands it back at its exit" eventually 20 none_hidden
eventually 20 no_main_form
start Corvalet.exe
check "a Corvalet started under the other module's subclass takes the tray again" eventually 20 hidden OwnerA 5
check "... the shell keeps answering" probe dump
start trayowner.exe --class OwnerG --icon '9:Golf:202020'
check "... and its reports still arrive" eventually 10 hidden OwnerG 9
probe close TMainForm "Quillon Corvalet" >/dev/null
check "... and it hands the tray back at its exit" eventually 20 none_hidden
eventually 20 no_main_form

printf '[Common]\r\nEnabled=0\r\n[Panel items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerA\r\n' "$owner" >"$ini"
start Corvalet.exe
check "started switched off, Corvalet runs" eventually 20 one_main_form
sleep 1
check "... the hook set and removed at once, and no icon is hidden" none_hidden
probe close TMainForm "Quillon Corvalet" >/dev/null
check "... and it exits" eventually 20 no_main_form

finish "wine e2e $version"
