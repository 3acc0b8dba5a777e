#!/usr/bin/env bash
# The options dialog under Wine against the stand-in taskbar, for one version of Windows:
# opened from the menu, centred, its header and pages; driven by mouse and keyboard; what Ok,
# Cancel and "Set default" leave in the settings file; the place and order of an icon; the
# second language; the help button; Alt+F4; the minimizer's key. Screenshots of the three pages
# and of the key (set, and held by another program) go to WORK_DIR/shots.
# Usage: options.sh WIN32_BUILD_DIR WORK_DIR winxp|win2k PACKAGING_DIR
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
packaging=$(cd "$4" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"
cp "$packaging/Deutsch.lng" "$app/"
mkdir -p "$app/Help"
cp "$packaging"/help/*.htm* "$app/Help/"  # the pages only: help opens in the browser
# Pages open in a recorder instead of a browser.
wreg add 'HKCR\.html' /ve /d CorvaletTestPage /f
wreg add 'HKCR\.htm' /ve /d CorvaletTestPage /f
wreg add 'HKCR\CorvaletTestPage\shell\open\command' /ve /d 'C:\windows\system32\cmd.exe /c echo %1> C:\cv\opened.txt' /f
shots="$work/shots"
mkdir -p "$shots"
printf '[Common]\r\nTrayButton=2\r\nApStyle=9\r\n[MinOptions]\r\nMinimizeTo=2\r\n' >"$ini"
heights=(20 20 9 20 20 9 9 20 20)

shell_args=(--state 'C:\cv\state.txt')
[ "$version" = win2k ] && shell_args+=(--win2k)
start classicshell.exe "${shell_args[@]}"
check "the stand-in taskbar is up" eventually 20 probe dump
start trayowner.exe --class OwnerA --icon '1:Alpha one:ff0000' --icon '2:Alpha two:00ff00'
check "the owner's icons are in the tray" eventually 20 buttons_are 2
start Corvalet.exe
has_button() { button >/dev/null; }
check "Corvalet puts the button near the clock from the file" eventually 20 has_button

form() { probe window TMainForm "Quillon Corvalet"; }
form_shown() { form | grep -q 'visible=1'; }
form_hidden() { form | grep -q 'visible=0'; }
control() { probe control "$1"; }
checked() { control "$1" | grep -q 'checked=1'; }
unchecked() { control "$1" | grep -q 'checked=0'; }
visible() { control "$1" | grep -q 'visible=1'; }
text_is() { is "$(control "$1" | iconv -f cp1252 -t utf-8 | sed -n 's/^text=\(.*\) visible=.*/\1/p')" "$2"; }
enabled_is() { control "$1" | grep -q "enabled=$2"; }
setting() { tr -d '\r' <"$ini" | sed -n "s/^$1=//p" | head -1; }
setting_is() { is "$(setting "$1")" "$2"; }
# A click in the middle of a control.
click() {
  local rect l t r b
  rect=$(control "$1" | rect_of) || return 1
  read -r l t r b <<<"$rect"
  move_to $(((l + r) / 2)) $(((t + b) / 2)) && sleep 0.2 && xdotool click 1 && sleep 0.4
}
shot() { import -display "$DISPLAY" -window root -crop "$(form_geometry)" +repage "$shots/$1" 2>/dev/null; }
form_geometry() {
  local l t r b
  read -r l t r b <<<"$(form | rect_of)"
  echo "$((r - l))x$((b - t))+$l+$t"
}
open_options() { choose_entry 3 form_shown && sleep 0.5; }
key() { xdotool key "$@" && sleep 0.4; }

check "\"Options\" opens the dialog" open_options
centred() {
  local l t r b
  read -r l t r b <<<"$(form | rect_of)"
  [ "$l" = $(((1024 - (r - l)) / 2)) ] && [ "$t" = $(((768 - (b - t)) / 2)) ]
}
check "... centred on the desktop" centred
check "... on the \"Tray icons\" page" visible 1101
check "... which lists the tray's icons" rows_have "Alpha one" "Alpha two"
check "... and only that page" eval '! visible 1201 && ! visible 1301'
read -r hl ht hr hb <<<"$(control 1010 | rect_of)"
check "the header is 545 by 20 pixels" is "$((hr - hl)) $((hb - ht))" "545 20"
check "... grey 155 at its left edge" pixel_is "$hl" $((hb - 2)) 9b9b9b
check "... grey 215 at its right edge" pixel_is $((hr - 1)) $((hb - 2)) d7d7d7
shot options-tray.png

click 1002
check "\"Common\" shows its page" eventually 5 visible 1201
check "... TrayButton 2 from the file checks \"hiding tray and clock\"" checked 1218
check "... ApStyle 9 leaves the first choice checked" checked 1201
check "... the limit cannot be operated" enabled_is 1221 0
shot options-common.png
click 1219
check "\"Do not set button near the clock\" removes the button at once" eventually 5 no_button
key Escape
check "Esc closes the dialog" eventually 5 form_hidden
check "... Cancel writes nothing" setting_is TrayButton 2
check "... and leaves the button removed" no_button
check "opening again re-reads the file" open_options
check "... and puts the button back" eventually 5 has_button
check "... the clock choice is the file's again" checked 1218

# By keyboard only.
key ctrl+Tab
check "Ctrl+Tab turns to the next page" visible 1201
key Down
check "an arrow moves within a radio group and checks" checked 1202
key ctrl+Tab
check "... and to the \"Minimizer\" page" visible 1301
check "... MinimizeTo 2 from the file is checked" checked 1305
key space
check "Space toggles the focused check box" unchecked 1301
key Tab Down
check "Tab reaches the radio group, an arrow moves on" checked 1306
shot options-minimizer.png
key Return
check "Enter is Ok: the dialog closes" eventually 5 form_hidden
check "... and the file has the new-icon style" eventually 5 setting_is ApStyle 2
check "... right-click minimizing off" setting_is IsRightClick 0
check "... the minimize target" setting_is MinimizeTo 3
check "... and the clock choice" setting_is TrayButton 2

check "\"Set default\" then Cancel" open_options
click 1020
check "... re-applies the clock button at once (mode 1: the clock stays)" eventually 5 clock_visible
click 2
check "... writes nothing" eventually 5 form_hidden
check "... the file keeps its values" setting_is ApStyle 2
check "\"Set default\" then Ok" open_options
click 1020
click 1
check "... writes the defaults" eventually 5 setting_is MinimizeTo 1
check "... every one of them" eval 'setting_is ApStyle 1 && setting_is IsRightClick 1 && setting_is TrayButton 1'

# The minimizer's key: set on the page, pressed over a window and with Shift, and told on the
# page when another program holds it. Ctrl+Alt+K: HOTKEYF_CONTROL|HOTKEYF_ALT (6) << 8 | 'K'.
window_shown() { probe window TestWindow "$1" | grep -q 'visible=1'; }
window_hidden() { probe window TestWindow "$1" | grep -q 'visible=0'; }
min_icon_shown() { state | grep " tip=$1\$" | grep -q 'hidden=0'; }
check "the dialog opens for the key" open_options
click 1003
check "... whose Minimizer page has a control for it" eventually 5 visible 1308
click 1301
check "... disabled while right-click minimizing is off" enabled_is 1308 0
click 1301
check "... and enabled with it" enabled_is 1308 1
click 1308
key ctrl+alt+k
shot options-hotkey.png
click 1
check "Ok stores the key as the control gives it" eventually 5 setting_is HotKey 1611
start testwindow.exe --title "Key target"
eventually 10 window_shown "Key target"
move_to 400 300 && sleep 0.3 && xdotool click 1 && sleep 0.5
key ctrl+alt+k
check "the key hides the active window" eventually 5 window_hidden "Key target"
check "... behind an icon in the tray" eventually 5 min_icon_shown "Key target"
# Under Wine a key reaches the program's RegisterHotKey only through an X window of Wine's: with
# the active window hidden, X's focus is the root and a key goes to the window under the pointer.
move_to 600 756 && sleep 0.2
key ctrl+alt+shift+k
check "the key with Shift brings it back" eventually 5 window_shown "Key target"
probe close TestWindow "Key target" >/dev/null
probe close TMainForm "Quillon Corvalet" >/dev/null
eventually 20 no_main_form
start testwindow.exe --title "Key holder" --hotkey 3 75
eventually 10 window_shown "Key holder"
start Corvalet.exe
eventually 20 one_main_form && sleep 1
check "with the key held by another program the dialog opens" open_options
click 1003
check "... and says so beside the control" eventually 5 text_is 1309 "Another program holds this key: it minimizes nothing now."
check "... the key is kept" setting_is HotKey 1611
shot options-hotkey-taken.png
# Backspace clears the control, which tells nobody: a click elsewhere must not bring the old
# key back, and Ok stores none.
click 1308
key BackSpace
click 1305
click 1
check "a key cleared with Backspace stays cleared through another click, and Ok stores none" \
  eventually 5 setting_is HotKey 0
probe close TestWindow "Key holder" >/dev/null

# The icons' page: a row's place, the place buttons and the move buttons.
check "the dialog opens again" open_options
row_click() {
  local row rect l t
  row=$(rows | sed -n "s/^row \([0-9]*\) .* text=$1\$/\1/p")
  rect=$(probe iconrect "$row") || return 1
  read -r l t _ _ <<<"$rect"
  move_to $((l + 40)) $((t + 8)) && sleep 0.2 && xdotool click 1 && sleep 0.4
}
row_click "Alpha two"
click 1110
check "\"Set in system Tray\" shows the selected icon at once" eventually 5 shown OwnerA 2
row_click "Alpha one"
row_click "Alpha two"
check "selecting a row checks its place" eventually 5 checked 1110
check "... a middle row can go up and down" eval 'enabled_is 1102 1 && enabled_is 1103 1'
click 1111
check "\"Set in Corvalet Panel\" hides the icon at once" eventually 5 hidden OwnerA 2
row_click "Alpha one"
row_click "Alpha two"
check "... and selecting its row again checks that place" eventually 5 checked 1111
click 1102
check "the up button moves the icon one place up" eventually 5 eval 'rows | grep -q "^row 0 .*text=Alpha two$"'
check "... the selection moves with it" eval 'enabled_is 1102 0 && enabled_is 1103 1'
key Down
check "... and the keyboard is in the list: Down selects the next row" eventually 5 enabled_is 1102 1
key Escape
check "... Cancel keeps the place" hidden OwnerA 2

# The second language, through the open dialog.
check "the dialog opens for the language" open_options
open_dialog() { probe window "#32770" "Open" | grep -q 'visible=1'; }
# A loaded machine may be slow to turn the page or to bring the open dialog up: the click on
# the button is made once its page shows, and made again if no dialog came.
ask_for_file() {
  local try
  for try in 1 2 3; do
    click 1002
    eventually 5 visible 1231 || continue
    click 1231
    eventually 10 open_dialog && return 0
  done
  return 1
}
check "\"Load language library\" asks for a file" ask_for_file
sleep 1 # shown is not yet focused on a loaded machine: the first keys would go nowhere
xdotool type --delay 30 'C:\cv\Deutsch.lng'
key Return
check "... and the dialog speaks German at once" eventually 5 text_is 1218 "Schaltfläche blendet Symbole und Uhr aus"
check "... on every page" eventually 5 text_is 1110 "Im Infobereich"
shot options-german.png
key Return
check "Ok stores the library" eventually 5 eval "setting LangLib | grep -q 'Deutsch.lng$'"

check "the dialog opens for help" open_options
click 1004
check "the help button opens the page's topic" eventually 10 grep -qi 'Help.options-tray-icons.htm' "$app/opened.txt"
no_error_box() { ! probe window "#32770" "Corvalet" >/dev/null && ! probe window "#32770" "Windows Help" >/dev/null; }
check "... with no error box" no_error_box
click 1003
check "... and the dialog answers on" eventually 5 visible 1301
key Escape
check "Alt+F4 in the dialog" open_options
key alt+F4
check "... closes only the dialog" eventually 5 form_hidden
check "... Corvalet runs on" one_main_form

probe close TMainForm "Quillon Corvalet" >/dev/null
check "Corvalet ends" eventually 20 no_main_form
finish "options ($version)"
