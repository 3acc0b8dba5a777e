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
  local try
  for try in 1 2 3; do
    move_to 500 300
    eventually 10 panel_hidden
    hover_own_icon && eventually 5 panel_visible && return 0
  done
  return 1
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
  check "... and stays inside the bar" inside "$(notify_rect)" "$bar"
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

# The options dialog, the menu and the panel, at the screen's resolution DPI: the frame's parts
# that are set in pixels are the given sizes at 96 DPI and grow with the resolution; the pages'
# controls are whole and apart; the margin's text fits the menu; the panel's one cell is whole.
heights=(20 20 9 20 20 9 20 9 20 20)  # About Help - Options Panel - Bravo - Enabled Exit
form_shown() { probe window TMainForm "Quillon Corvalet" | grep -q 'visible=1'; }
size_of() { rect_of | awk '{print $3 - $1 "x" $4 - $2}'; }
views_at() {  # views_at DPI SMALL_ICON
  local dpi=$1 icon=$2 layout menu ml mt mb pl pt text
  local scaled=$(((75 * dpi + 48) / 96))x$(((25 * dpi + 48) / 96))
  check "$dpi DPI: programs see it, small icons $icon pixels" is "$(probe metrics)" "dpi=$dpi smicon=$icon,$icon"
  check "the options dialog opens from the menu" choose_entry 3 form_shown
  check "... its \"Ok\" button is 75 by 25 pixels at 96 DPI, $scaled here" \
    is "$(probe control 1 | size_of)" "$scaled"
  layout=$(probe layout)
  check "... every control's caption fits it, inside its page, apart from the others" \
    eval 'echo "$layout" | grep -q "^controls [1-9]" && ! echo "$layout" | grep "^bad" >&2'
  sleep 0.5
  shot "options-$dpi.png"
  xdotool key Escape
  eventually 5 eval '! form_shown'
  text="Corvalet  2.0"  # one icon in the menu
  check "the menu opens" open_menu
  menu=$(probe menu)
  read -r ml mt _ mb <<<"$menu"
  # Drawn from 5 pixels above the bottom of the entries, which start and end 3 pixels in.
  check "... its margin's text fits: $(probe textwidth Arial 16 "$text") pixels up $((mb - mt - 6 - 5))" \
    [ "$(probe textwidth Arial 16 "$text")" -le $((mb - mt - 6 - 5)) ]
  sleep 0.3
  shot "menu-$dpi.png"
  xdotool key Escape
  check "the panel opens" open_panel
  read -r pl pt _ _ <<<"$(panel | rect_of)"
  check "... $((icon + 15)) by $((icon + 15)) pixels in the work area's corner" \
    is "$(panel | rect_of)" "$((1024 - icon - 15)) $((738 - icon - 15)) 1024 738"
  # The cell starts 4 + 3 pixels in; its icon reaches its far corner.
  check "... its cell whole: the icon's colour at the cell's far corner" \
    pixel_is $((pl + 7 + icon - 2)) $((pt + 7 + icon - 2)) ff0000
  shot "panel-$dpi.png"
}
check "the stand-in at the bottom" eval 'stand_in_up bottom && share_work_area'
corvalet_up
views_at 96 16
corvalet_down
stand_in_down
wreg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f
check "large fonts: the stand-in again" eval 'stand_in_up bottom && share_work_area'
check "... and Corvalet" corvalet_up
views_at 120 20
corvalet_down
stand_in_down
wreg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f

finish "wine edges"
