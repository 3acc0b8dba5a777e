#!/usr/bin/env bash
# What a user sees and clicks, under Wine against the stand-in taskbar, for one version of
# Windows: the Corvalet Panel on hovering Corvalet's icon, clicks in its cells, the Corvalet
# Menu with its painted margin and its entries, and the button near the clock.
# Usage: views.sh WIN32_BUILD_DIR WORK_DIR winxp|win2k
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"
owner='C:\cv\trayowner.exe'
settings() {  # settings EXTRA_COMMON_LINES
  printf '[Common]\r\n%b[Panel items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerA\r\n[Menu items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerB\r\n' \
    "$1" "$owner" "$owner" >"$ini"
}
settings ''

# Docked at the bottom, as the taskbar is by default; it reserves its edge, so the panel opens
# above it.
shell_args=(--state 'C:\cv\state.txt')
[ "$version" = win2k ] && shell_args+=(--win2k)
start classicshell.exe "${shell_args[@]}"
check "the stand-in taskbar is up" eventually 20 probe dump
check "... and reserves its edge for every program" share_work_area
start trayowner.exe --class OwnerA --log 'C:\cv\a.log' --icon '1:Alpha one:ff0000' --icon '2:Alpha two:00ff00'
start trayowner.exe --class OwnerB --log 'C:\cv\b.log' --icon '7:Bravo:0000ff'
start trayowner.exe --class OwnerC --icon '3:Charlie:ffff00'
check "the owners' icons are in the tray" eventually 20 buttons_are 4
start Corvalet.exe
check "Corvalet takes the tray" eventually 20 hidden OwnerA 1

# The button near the clock.
# The bar's client area begins one pixel of border in from (0, 738).
if [ "$version" = winxp ]; then bx=1011 by=749; else bx=1008 by=744; fi
check "the button near the clock stands in the taskbar with \">\"" eventually 10 button_text_is '>'
check "... 12 by 12 pixels at its place for the version" \
  is "$(button | rect_of)" "$bx $by $((bx + 12)) $((by + 12))"
check "... above the notification area: the point at its centre is the button" \
  is "$(probe at $((bx + 6)) $((by + 6)))" QLTrayButton
check "... and the notification area leaves it free" notify_right_is 999

# The panel.
hover_own_icon
check "moving over Corvalet's icon opens the panel" eventually 5 panel_visible
check "... in the bottom-right corner, one cell of 19 pixels per icon plus 12" \
  is "$(panel | rect_of)" "974 707 1024 738"
sleep 0.5
check "... each cell shows its icon's colour" pixel_is $((974 + 8)) $((707 + 8)) ff0000
check "... in the order of the tray" pixel_is $((974 + 8 + 19)) $((707 + 8)) 00ff00
probe send OwnerA "recolour 2 00ffff" >/dev/null
check "a changed icon changes its cell while the panel is open" eventually 5 pixel_is $((974 + 8 + 19)) $((707 + 8)) 00ffff
move_to $((974 + 12)) $((707 + 12))
sleep 0.3
xdotool click 1
check "a left click in a cell reaches the owner as press and release" eventually 5 logged a.log 1 202
check "... the press first" logged a.log 1 201
xdotool click 3
check "a right click sends press, context menu, release, context menu" eventually 5 logged a.log 1 205
check "... WM_CONTEXTMENU among them" logged a.log 1 7b
sleep 5
check "the panel stays while the cursor rests inside it" panel_visible
move_to 300 300
check "... and goes once the cursor has left it" eventually 10 panel_hidden

# The menu.
heights=(20 20 9 20 20 9 20 9 20 20)  # About Help - Options Panel - Bravo - Enabled Exit
check "a right click on Corvalet's icon opens the menu" open_menu
m=$(probe menu)
read -r ml mt mr mb <<<"$m"
top_blue=$(pixel $((ml + 6)) $((mt + 6)) | cut -c5-6)
bottom_blue=$(pixel $((ml + 6)) $((mb - 8)) | cut -c5-6)
check "... its margin black at the top (blue $top_blue)" [ $((16#${top_blue:-ff})) -lt 64 ]
check "... and blue at the bottom (blue $bottom_blue)" [ $((16#${bottom_blue:-00})) -gt 192 ]
margin_has_white() {
  import -display "$DISPLAY" -window root -crop "18x$((mb - mt - 8))+$((ml + 3))+$((mt + 4))" +repage margin.png 2>/dev/null &&
    convert margin.png -format %c histogram:info: 2>/dev/null | grep -qi '#FFFFFF'
}
check "... with the white rotated text on it" margin_has_white
check "... the icon entry shows its icon's colour" pixel_is $((ml + 3 + 23 + 4 + 1)) $((mt + 3 + 98 + 3)) 0000ff
[ -n "${KEEP_MENU_SHOT:-}" ] && import -display "$DISPLAY" -window root "$KEEP_MENU_SHOT" 2>/dev/null
xdotool key Escape
sleep 0.5
check "choosing the icon entry with the left button clicks its owner left" \
  choose_entry 6 logged b.log 7 202
check "... press first" logged b.log 7 201
check "\"Enabled\" switches Corvalet off: every icon is shown" choose_entry 8 none_hidden
check "... the button near the clock is gone" eventually 5 no_button
check "... and Enabled=0 is written" eventually 5 grep -qs '^Enabled=0' "$ini"
heights=(20 20 9 20 20 9 9 20 20)  # no icon entries while off
check "a second click brings everything back" choose_entry 7 hidden OwnerA 1
check "... the button too" eventually 5 button_text_is '>'
heights=(20 20 9 20 20 9 20 9 20 20)

# The About box, from the menu's first entry; Enter closes it.
about_shown() { probe window TForm3 "About Corvalet" | grep -q 'visible=1'; }
about_gone() { ! about_shown; }
# Enter reaches the box once it has the keyboard; a box that came up behind the focus gets a
# click on its picture first (a loaded machine may be slow to hand the focus over).
enter_closes_about() {
  local try rect l t
  for try in 1 2 3; do
    xdotool key Return
    eventually 3 about_gone && return 0
    rect=$(probe window TForm3 "About Corvalet" | rect_of) || return 1
    read -r l t _ _ <<<"$rect"
    move_to $((l + 60)) $((t + 80)) && sleep 0.2 && xdotool click 1 && sleep 0.3
  done
  return 1
}
check "\"About\" opens the About box" choose_entry 0 about_shown
check "... and Enter closes it" enter_closes_about

# Folding.
move_to $((bx + 6)) $((by + 6))
sleep 0.3
xdotool click 1
check "a click on the button hides every icon" eventually 5 hidden OwnerC 3
check "... but Corvalet's own" shown_owner_tip "Quillon Corvalet 2.0"
check "... and turns it to \"<\"" eventually 5 button_text_is '<'
check "... leaving the clock in mode 1" clock_visible
move_to $((bx + 6)) $((by + 6))
sleep 0.3
xdotool click 1
check "a second click shows the tray's icons again" eventually 5 shown OwnerC 3
check "... not those of the panel" hidden OwnerA 1
check "... and turns it back to \">\"" eventually 5 button_text_is '>'
move_to 300 300
move_to $((bx + 6)) $((by + 6))
sleep 0.3
xdotool mousemove_relative 1 0
check "hovering the button opens the panel" eventually 5 panel_visible
xdotool click 3
check "a right click on the button opens the menu" eventually 5 probe menu
xdotool key Escape
move_to 300 300
eventually 10 panel_hidden

probe close TMainForm "Quillon Corvalet" >/dev/null
eventually 20 no_main_form
settings 'TrayButton=2\r\n'
start Corvalet.exe
check "in mode 2" eventually 20 button_text_is '>'
move_to $((bx + 6)) $((by + 6))
sleep 0.3
xdotool click 1
check "... folding hides the clock too" eventually 5 clock_hidden
wine_kill 'Corvalet.exe'
check "a kill while folded gives the clock back" eventually 10 clock_visible
check "... and every icon" eventually 10 none_hidden
check "... and the room" eventually 10 notify_right_is 1023
settings 'TrayButton=3\r\n'
start Corvalet.exe
check "with TrayButton=3 there is no button" eventually 20 hidden OwnerA 1
check "... none at all" no_button
probe close TMainForm "Quillon Corvalet" >/dev/null
check "Corvalet exits" eventually 20 no_main_form

finish "wine views $version"
