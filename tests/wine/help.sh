#!/usr/bin/env bash
# Help under Wine, with the help as it ships: the menu's "Help" opens Corvalet.chm in HTML
# Help's window (Wine's own hhctrl.ocx, loaded by Corvalet), the options dialog's help button
# opens it too and the browser is never asked; Corvalet ends cleanly with the window open and
# takes it along. Without HTML Help (hhctrl.ocx switched off) the pages open in the browser,
# at the topic of the options page shown. Pictures of the help window, its index and a search
# go to WORK_DIR/shots.
# Usage: help.sh WIN32_BUILD_DIR WORK_DIR winxp|win2k DIST_DIR
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
dist=$(cd "$4" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"
cp -r "$dist/Corvalet/Help" "$app/"
# Pages open in a recorder instead of a browser.
for ext in .htm .html; do wreg add "HKCR\\$ext" /ve /d CorvaletTestPage /f; done
wreg add 'HKCR\CorvaletTestPage\shell\open\command' /ve /d 'C:\windows\system32\cmd.exe /c echo %1> C:\cv\opened.txt' /f
shots="$work/shots"
mkdir -p "$shots"
rm -f "$ini" opened.txt
heights=(20 20 9 20 20 9 9 20 20)

shell_args=(--state 'C:\cv\state.txt')
[ "$version" = win2k ] && shell_args+=(--win2k)
start classicshell.exe "${shell_args[@]}"
check "the stand-in taskbar is up" eventually 20 probe dump
start Corvalet.exe
check "Corvalet is up" eventually 20 one_main_form
check "... with its icon in the tray" eventually 20 eval '[ -n "$(own_icon_at)" ]'

viewer() { probe window "HH Parent" "Corvalet Help"; }
viewer_shown() { viewer | grep -q 'visible=1'; }
no_viewer() { ! viewer >/dev/null; }
no_page_opened() { sleep 1; [ ! -e opened.txt ]; }
control() { probe control "$1"; }
visible() { control "$1" | grep -q 'visible=1'; }
click() {
  local rect l t r b
  rect=$(control "$1" | rect_of) || return 1
  read -r l t r b <<<"$rect"
  move_to $(((l + r) / 2)) $(((t + b) / 2)) && sleep 0.2 && xdotool click 1 && sleep 0.4
}
form_shown() { probe window TMainForm "Quillon Corvalet" | grep -q 'visible=1'; }

check "the menu's \"Help\" opens the help in HTML Help's window" choose_entry 1 viewer_shown
check "... and no page in the browser" no_page_opened
sleep 1
read -r hl ht hr hb <<<"$(viewer | rect_of)"
xdotool mousemove 8 700
import -display "$DISPLAY" -window root -crop "$((hr - hl))x$((hb - ht))+$hl+$ht" +repage \
  "$shots/help.png" 2>/dev/null
contents_tree() { probe child "HH Parent" "HH Child" SysTreeView32 | grep -q 'visible=1'; }
check "... which shows its contents tree" contents_tree
# Its index and its search, taken as pictures (Wine's viewer draws them, but no page).
index_list() { probe child "HH Parent" "HH Child" SysListView32 | grep -q 'visible=1'; }
move_to $((hl + 98)) $((ht + 90)) && sleep 0.2 && xdotool click 1
check "... and its index" eventually 5 index_list
sleep 0.5
import -display "$DISPLAY" -window root -crop "$((hr - hl))x$((hb - ht))+$hl+$ht" +repage \
  "$shots/help-index.png" 2>/dev/null
move_to $((hl + 153)) $((ht + 90)) && sleep 0.2 && xdotool click 1 && sleep 0.3
move_to $((hl + 110)) $((ht + 115)) && sleep 0.2 && xdotool click 1 && sleep 0.3
xdotool type --delay 30 minimizer && xdotool key Return && sleep 1.5
import -display "$DISPLAY" -window root -crop "$((hr - hl))x$((hb - ht))+$hl+$ht" +repage \
  "$shots/help-search.png" 2>/dev/null
probe close "HH Parent" "Corvalet Help" >/dev/null
check "... and closes" eventually 5 no_viewer

# A click on the own icon while the About box is open brings the box back, not the help window
# the user clicked last.
about_shown() { probe window TForm3 "About Corvalet" | grep -q 'visible=1'; }
focus_in_about() { probe focus | grep -qE '^class=(TForm3 id=0|Button id=1)$'; }
check "with the help window open, \"About\" opens its box" \
  eval 'choose_entry 1 viewer_shown && choose_entry 0 about_shown'
read -r hl ht _ _ <<<"$(viewer | rect_of)"
move_to $((hl + 200)) $((ht + 10)) && sleep 0.3 && xdotool click 1 && sleep 0.5
check "... a click on the help window takes the focus from the box" eval '! focus_in_about'
hover_own_icon && sleep 0.3 && xdotool click 3
check "... and a right click on Corvalet's icon brings the box back" eventually 5 focus_in_about
xdotool key Return
check "... which closes as before" eventually 5 eval '! about_shown'
probe close "HH Parent" "Corvalet Help" >/dev/null
eventually 5 no_viewer

check "the options dialog opens" choose_entry 3 form_shown
click 1003
check "... at the \"Minimizer\" page" eventually 5 visible 1301
click 1004
check "its help button opens the help window" eventually 10 viewer_shown
check "... and no page in the browser" no_page_opened
check "Corvalet's end with the help window open" eventually 10 probe close TMainForm "Quillon Corvalet"
check "... ends Corvalet" eventually 10 no_main_form
check "... and takes the help window along" eventually 5 no_viewer
check "... with no error box" eval '! probe window "#32770" Corvalet >/dev/null'

# Without HTML Help: the pages, in the browser.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;hhctrl.ocx=" start Corvalet.exe
check "Corvalet without HTML Help is up" eventually 20 one_main_form
sleep 1
check "the menu's \"Help\" opens the contents page in the browser" \
  choose_entry 1 eval "grep -qi 'Help.index.html' opened.txt 2>/dev/null"
check "... and no help window" no_viewer
rm -f opened.txt
check "the options dialog opens" choose_entry 3 form_shown
click 1002
check "... at the \"Common\" page" eventually 5 visible 1201
click 1004
check "its help button opens that page's topic in the browser" \
  eventually 10 grep -qi 'Help.options-common.htm' opened.txt
xdotool key Escape
probe close TMainForm "Quillon Corvalet" >/dev/null
check "Corvalet ends" eventually 10 no_main_form

finish help
