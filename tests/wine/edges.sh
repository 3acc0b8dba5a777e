#!/usr/bin/env bash
# The taskbar at each edge of the screen, and large fonts, under Wine against the stand-in
# taskbar (Windows XP): the work area leaves the bar out, the panel opens in the work area's
# bottom-right corner whatever the edge, and the button near the clock stands at the clock's
# end of the bar. Then at 120 DPI: the options dialog's controls are whole and apart, the
# menu's margin text fits, and the panel's cells are whole. Geometry is compared in numbers;
# the pictures (SHOTS=DIR) are for looking at.
# Usage: edges.sh WIN32_BUILD_DIR WORK_DIR
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" winxp
# A run that ended inside the large-fonts part must not leave the next one at 120 DPI.
wreg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f
owner='C:\cv\trayowner.exe'
printf '[Panel items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerA\r\n[Menu items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerB\r\n' \
  "$owner" "$owner" >"$ini"
start trayowner.exe --class OwnerA --icon '1:Alpha:ff0000'
start trayowner.exe --class OwnerB --icon '7:Bravo:0000ff'
start trayowner.exe --class OwnerC --icon '3:Charlie:ffff00'

inside() {  # inside "L T R B" "L T R B": the first rectangle lies in the second
  local a b
  read -r -a a <<<"$1"
  read -r -a b <<<"$2"
  [ "${a[0]}" -ge "${b[0]}" ] && [ "${a[1]}" -ge "${b[1]}" ] && [ "${a[2]}" -le "${b[2]}" ] &&
    [ "${a[3]}" -le "${b[3]}" ]
}
apart() {  # apart "L T R B" "L T R B": the two rectangles share no pixel
  local a b
  read -r -a a <<<"$1"
  read -r -a b <<<"$2"
  [ "${a[2]}" -le "${b[0]}" ] || [ "${b[2]}" -le "${a[0]}" ] || [ "${a[3]}" -le "${b[1]}" ] ||
    [ "${b[3]}" -le "${a[1]}" ]
}
taskbar_rect() { probe window Shell_TrayWnd "" | rect_of; }
notify_rect() { state | sed -n 's/^notify rect=\(.*\)$/\1/p'; }
shot() { [ -n "${SHOTS:-}" ] && import -display "$DISPLAY" -window root "$SHOTS/$1" 2>/dev/null; true; }
stand_in_up() {  # stand_in_up EDGE
  start classicshell.exe --edge "$1" --state 'C:\cv\state.txt'
  eventually 20 probe dump && eventually 20 buttons_are 3
}
stand_in_down() {
  probe close Shell_TrayWnd "" >/dev/null
  eventually 10 eval '! probe dump 2>/dev/null'
}
corvalet_up() {
  start Corvalet.exe
  eventually 20 hidden OwnerA 1 && eventually 10 button_text_is '>'
}
corvalet_down() {
  probe close TMainForm "Quillon Corvalet" >/dev/null
  eventually 20 no_main_form
}
open_panel() {
  move_to 500 300
  eventually 10 panel_hidden
  hover_own_icon && eventually 5 panel_visible
}

# The work area a bar at EDGE leaves on a 1024 x 768 screen, and where the button near the clock
# stands on the screen: one pixel of border in from the bar's corner, then the place in its
# client area (XP: 14 from the clock's end along the bar, 10 across).
for edge in bottom top left right; do
  case $edge in
    bottom) bar="0 738 1024 768" area="0 0 1024 738" bx=$((0 + 1 + 1010)) by=$((738 + 1 + 10)) ;;
    top) bar="0 0 1024 30" area="0 30 1024 768" bx=$((0 + 1 + 1010)) by=$((0 + 1 + 10)) ;;
    left) bar="0 0 60 768" area="60 0 1024 768" bx=$((0 + 1 + 10)) by=$((0 + 1 + 768 - 14)) ;;
    right) bar="964 0 1024 768" area="0 0 964 768" bx=$((964 + 1 + 10)) by=$((0 + 1 + 768 - 14)) ;;
  esac
  check "$edge: the stand-in docks at the $edge edge" eval 'stand_in_up $edge && is "$(taskbar_rect)" "$bar"'
  check "... and reserves it: the work area it sets leaves the bar out" is "$(stand_in_work_area)" "$area"
  check "... which every program then reads" share_work_area
  check "... the notification area lies inside the bar" inside "$(notify_rect)" "$bar"
  check "Corvalet takes the tray" corvalet_up
  button_rect=$(button | rect_of)
  check "the button near the clock stands at the clock's end of the bar, 12 by 12" \
    is "$button_rect" "$bx $by $((bx + 12)) $((by + 12))"
  check "... inside the bar" inside "$button_rect" "$bar"
  check "... beside the notification area, which leaves it room" apart "$button_rect" "$(notify_rect)"
  check "... and takes the mouse there" is "$(probe at $((bx + 6)) $((by + 6)))" QLTrayButton
  check "moving over Corvalet's icon opens the panel" open_panel
  read -r _ _ wr wb <<<"$area"
  check "... in the work area's bottom-right corner, 31 by 31 for one icon" \
    is "$(panel | rect_of)" "$((wr - 31)) $((wb - 31)) $wr $wb"
  check "... off the bar" apart "$(panel | rect_of)" "$bar"
  [ "$edge" = left ] && sleep 0.5 && shot edge-left.png
  corvalet_down
  stand_in_down
done
check "with the stand-in gone the whole screen is the work area again" \
  eval 'give_back_work_area && is "$(probe workarea)" "0 0 1024 768"'

finish "wine edges"
