#!/usr/bin/env bash
# Icons hidden in the panel and the menu as their programs mean them, under Wine against the
# stand-in taskbar: a balloon of a hidden icon shows at Corvalet's own icon and its messages
# reach the icon's program; an icon its program hides with NIS_HIDDEN stays hidden and out of the
# panel; the icons of programs killed hard leave the tray, the panel and the menu at once, their
# places kept; exit shows neither a dead program's button nor one its program hid.
# Usage: hidden.sh WIN32_BUILD_DIR WORK_DIR winxp|win2k
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"
owner='C:\cv\trayowner.exe'
printf '[Panel items]\r\nCount=2\r\nIM_0=%s\r\nID_0=PanelA\r\nIM_1=%s\r\nID_1=PanelE\r\n[Menu items]\r\nCount=2\r\nIM_0=%s\r\nID_0=MenuB\r\nIM_1=%s\r\nID_1=MenuF\r\n' \
  "$owner" "$owner" "$owner" "$owner" >"$ini"
# Each owner CLASS:ID:TIP:COLOUR, logging to CLASS.log; started in this order, the tray's.
owners=(PanelA:1:Alpha:ff0000 PanelE:5:Echo:00ff00 MenuB:2:Bravo:0000ff MenuF:6:Foxtrot:ff00ff
        TrayC:3:Charlie:ffff00 TrayG:7:Golf:00ffff TrayH:4:Hotel:808000)
start_owner() {  # start_owner CLASS:ID:TIP:COLOUR
  IFS=: read -r cls id tip colour <<<"$1"
  start trayowner.exe --class "$cls" --log "C:\\cv\\$cls.log" --icon "$id:$tip:$colour"
}
kill_owner() { wine_kill "trayowner.exe --class $1 "; }

# Docked at the top, as in the views' suite: the panel opens in the screen's bottom-right corner.
shell_args=(--top --balloon-min-ms 1500 --state 'C:\cv\state.txt')
[ "$version" = win2k ] && shell_args+=(--win2k)
start classicshell.exe "${shell_args[@]}"
check "the stand-in taskbar is up" eventually 20 probe dump
# One by one, so that the tray's order is the list's.
started=0
for o in "${owners[@]}"; do
  start_owner "$o"
  started=$((started + 1))
  eventually 20 buttons_are $started
done
check "the owners' icons are in the tray" buttons_are 7

at_of() { sed -n 's/.* at=\([-0-9]*,[-0-9]*\) .*/\1/p'; }
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p"; }

# What the shell does, which the rest relies on: a program killed leaves its icon in the tray
# until the mouse passes over its button, or another process deletes it.
start trayowner.exe --class Ghost --icon '9:Ghost:808080'
eventually 20 buttons_are 8
start trayowner.exe --class Wraith --icon '8:Wraith:404040'
eventually 20 buttons_are 9
ghost=$(probe hwnd Ghost)
wraith=$(probe hwnd Wraith)
ghost_at=$(state | grep " tip=Ghost\$" | at_of)
kill_owner Ghost
kill_owner Wraith
ghosts_gone() { [ "$(probe iswindow "$ghost")$(probe iswindow "$wraith")" = 00 ]; }
eventually 10 ghosts_gone
sleep 1.5
check "the stand-in keeps killed programs' icons" buttons_are 9
# shellcheck disable=SC2086
xdotool mousemove ${ghost_at/,/ } && sleep 0.3 && xdotool mousemove_relative 1 0
check "... until the mouse passes over the button" eventually 5 buttons_are 8
check "... or another process deletes the icon" probe notifydelete "$wraith" 8
check "... which takes it out" buttons_are 7

start Corvalet.exe
placed() {
  hidden PanelA 1 && hidden PanelE 5 && hidden MenuB 2 && hidden MenuF 6 && shown TrayC 3 &&
    shown TrayG 7 && shown TrayH 4
}
check "Corvalet places the icons: the panel's and the menu's hidden, the tray's shown" \
  eventually 20 placed
own=$(state | grep ' tip=Quillon Corvalet 2.0$')
own_where="icon=$(echo "$own" | field owner),$(echo "$own" | field id) at=$(echo "$own" | at_of)"

# The panel's cells as "N colour..." (one cell of 19 pixels a program, plus 12), by hovering
# Corvalet's icon; the mouse then leaves and the panel closes.
panel_cells() {
  local rect="" l t r n i out
  hover_own_icon && eventually 5 panel_visible && sleep 0.5 && rect=$(panel | rect_of)
  if [ -z "$rect" ]; then
    move_to 300 300
    return 1
  fi
  read -r l t r _ <<<"$rect"
  n=$(((r - l - 12) / 19))
  out=$n
  for ((i = 0; i < n; i++)); do out="$out $(pixel $((l + 8 + 19 * i)) $((t + 8)))"; done
  move_to 300 300
  eventually 10 panel_hidden
  echo "$out"
}
panel_is() { is "$(panel_cells)" "$1"; }
# The menu's height and the colours of its first two icon entries (the menu list's last first);
# the menu is closed again.
menu_look() {
  local m l t b
  open_menu || return 1
  sleep 0.5
  m=$(probe menu)
  read -r l t _ b <<<"$m"
  echo "$((b - t)) $(pixel $((l + 31)) $((t + 104))) $(pixel $((l + 31)) $((t + 124)))"
  # A menu left open would hold every report back.
  eventually 5 menu_closed_by_escape
}
menu_closed_by_escape() {
  probe menu >/dev/null || return 0
  xdotool key Escape
  sleep 0.5
  ! probe menu >/dev/null
}
check "the panel holds the panel's icons in the tray's order" is "$(panel_cells)" "2 ff0000 00ff00"
look=$(menu_look)
menu_height=${look%% *}
check "the menu holds the menu's" is "${look#* }" "ff00ff 0000ff"

# Programs killed hard, with no change in the tray since Corvalet read it at its start.
dead=$(for c in PanelA MenuB TrayC; do probe hwnd $c; done | tr '\n' ' ')
none_of_dead() {
  local s w
  s=$(state) || return 1
  for w in $dead; do echo "$s" | grep -q " owner=$w " && return 1; done
  return 0
}
for c in PanelA MenuB TrayC; do kill_owner $c; done
t0=$(date +%s%N)
check "three programs killed hard: their buttons (panel, menu, tray) leave the tray" \
  eventually 10 none_of_dead
echo "        (gone after $((($(date +%s%N) - t0) / 1000000)) ms)"
check "... Corvalet's own icon stays" shown_owner_tip "Quillon Corvalet 2.0"
check "... the panel no longer holds the panel's" eventually 10 panel_is "1 00ff00"
look=$(menu_look)
check "... nor the menu the menu's" is "${look% *}" "$((menu_height - 20)) ff00ff"
unlisted() { rows_lack Alpha && rows_lack Bravo && rows_lack Charlie && rows_have Echo; }
check "... nor the options list any of them" unlisted
kept() { tr -d '\r' <"$ini" | grep -qx 'ID_[0-9]*=PanelA' && tr -d '\r' <"$ini" | grep -qx 'ID_[0-9]*=MenuB'; }
check "... their places are kept" kept
start_owner PanelA:1:Alpha:ff0000
check "a killed panel program started again goes back to the panel" eventually 20 hidden PanelA 1
check "... at its place" eventually 10 panel_is "2 00ff00 ff0000"

# Balloons.
balloon() { state | grep '^balloon shown='; }
balloon_is() { balloon | grep -q "^balloon shown=1 $1 visible=1 "; }
balloon_gone() { balloon | grep -q '^balloon shown=0 '; }
balloon_says() { state | grep -qx "balloon text=$1"; }
# The balloon notices a program heard, in order: notices_are CLASS "402 405".
notices_are() { [ "$(grep -o 'mouse=40[2-5]' "$1.log" 2>/dev/null | cut -d= -f2 | xargs)" = "$2" ]; }
probe send PanelE "balloon 5 1 30000 Echo says|Five new things" >/dev/null
check "a panel icon's balloon shows at Corvalet's own icon" eventually 5 balloon_is "$own_where"
check "... with its title, text and icon" \
  is "$(state | grep -E '^balloon (title|text)=' | tr '\n' '|')$(balloon | field flags)" \
  "balloon title=Echo says|balloon text=Five new things|1"
check "... the shell never being asked to show it at the hidden button" is "$(balloon | field hiddenasks)" 0
check "... its program hears NIN_BALLOONSHOW with its ID" eventually 5 logged PanelE.log 5 402
read -r l t r b <<<"$(balloon | sed 's/.* rect=\([-0-9 ]*\) flags=.*/\1/')"
move_to $(((l + r) / 2)) $(((t + b) / 2)) && sleep 0.3 && xdotool click 1
check "a click on the balloon takes it down" eventually 5 balloon_gone
check "... and reaches its program as NIN_BALLOONUSERCLICK, and nothing else" \
  eventually 5 notices_are PanelE "402 405"
check "... without opening Corvalet's menu" eval '! probe menu >/dev/null'
move_to 300 300

probe send PanelE "balloon 5 2 30000 Echo|Again" >/dev/null
eventually 5 balloon_says Again
probe send PanelE "unballoon 5" >/dev/null
check "a balloon its program clears goes" eventually 5 balloon_gone
check "... and its program hears NIN_BALLOONHIDE" eventually 5 notices_are PanelE "402 405 402 403"
probe send PanelE "balloon 5 1 30000 Echo|First" >/dev/null
eventually 5 balloon_says First
probe send MenuF "balloon 6 3 30000 Foxtrot|Second" >/dev/null
replaced() { balloon_is "$own_where" && balloon_says Second; }
check "a menu icon's balloon replaces it at Corvalet's icon" eventually 5 replaced
check "... its program hears NIN_BALLOONSHOW" eventually 5 logged MenuF.log 6 402
check "... the replaced balloon's program NIN_BALLOONHIDE" \
  eventually 5 notices_are PanelE "402 405 402 403 402 403"
probe send MenuF "balloon 6 1 1000 Foxtrot|Short" >/dev/null
check "a balloon left alone times out: its program hears NIN_BALLOONTIMEOUT" \
  eventually 10 logged MenuF.log 6 404
timed_out_last() {
  local n
  n=$(grep -o 'mouse=40[2-5]' MenuF.log | cut -d= -f2 | xargs)
  [ "${n% 404}" != "$n" ] && [ "${n#*405}" = "$n" ]
}
check "... last, with no click before it" timed_out_last
g=$(probe hwnd TrayG)
probe send TrayG "balloon 7 1 30000 Golf|In the tray" >/dev/null
check "a tray icon keeps its balloon at its own button" \
  eventually 5 balloon_is "icon=$g,7 at=$(button_line TrayG 7 | at_of)"
check "... its program hears NIN_BALLOONSHOW" eventually 5 logged TrayG.log 7 402
probe send TrayG "unballoon 7" >/dev/null
eventually 5 balloon_gone

# Icons their programs hide.
probe send PanelE "hide 5" >/dev/null
e=$(probe hwnd PanelE)
program_hid_e() { state | grep -qx "programhidden owner=$e id=5"; }
check "a panel icon its program hides: the stand-in hears it" eventually 5 program_hid_e
check "... the panel leaves it out" eventually 10 panel_is "1 ff0000"
check "... and its button stays hidden" hidden PanelE 5
check "... the options list still lists it" rows_have Echo
probe send PanelE "show 5" >/dev/null
check "shown again: back in the panel" eventually 10 panel_is "2 00ff00 ff0000"
check "... its button still hidden" hidden PanelE 5
probe send TrayG "hide 7" >/dev/null
check "a tray icon its program hides: its button hidden" eventually 5 hidden TrayG 7
# The button near the clock folds the tray and unfolds it: unfolding shows the tray's icons.
if [ "$version" = winxp ]; then bx=1017 by=17; else bx=1014 by=12; fi
move_to $bx $by && sleep 0.3 && xdotool click 1
eventually 5 hidden TrayH 4
move_to $bx $by && sleep 0.3 && xdotool click 1
check "... Corvalet does not show it when it unfolds the tray" eventually 5 shown TrayH 4
sleep 1
check "... nor later" hidden TrayG 7
check "... the options list still lists it" rows_have Golf
move_to 300 300

# Exit while a program has just been killed: no button of a dead program is shown, nor one its
# program hid; the rest are shown.
kill_owner MenuF
probe close TMainForm "Quillon Corvalet" >/dev/null
check "Corvalet exits" eventually 20 no_main_form
check "... showing no dead program's button" no_dead_owner ' hidden=0 '
check "... nor the one its program hid" hidden TrayG 7
others_shown() { shown PanelA 1 && shown PanelE 5 && shown TrayH 4; }
check "... and the others" others_shown

finish "hidden ($version)"
