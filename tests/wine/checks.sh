# Sourced by the Wine tests: counting checks and reading the state of the stand-in taskbar,
# the owners and Corvalet through probe.exe (run from the current folder).

passed=0
failed=0
check() {  # check NAME COMMAND...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "  ok    $name"
  else
    failed=$((failed + 1))
    echo "  FAIL  $name"
  fi
}
finish() {
  echo "$1: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
# Polls a command for up to $1 seconds.
eventually() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.25
  done
}

# In a subshell, so that a program killed later is not reported by this shell.
start() { (timeout 600 wine "$@" >/dev/null 2>&1 &); }
probe() { timeout 20 wine probe.exe "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

main_forms() { probe count TMainForm "Quillon Corvalet"; }
one_main_form() { [ "$(main_forms)" = 1 ]; }
no_main_form() { [ "$(main_forms)" = 0 ]; }

state() { probe dump >/dev/null && tr -d '\r' <state.txt; }
buttons_are() { state | grep -q "^buttons $1\$"; }
button_line() {  # button_line CLASS ID
  local hwnd
  hwnd=$(probe hwnd "$1") || return 1
  state | grep " owner=$hwnd id=$2 "
}
hidden() { button_line "$1" "$2" | grep -q 'hidden=1'; }
shown() { button_line "$1" "$2" | grep -q 'hidden=0'; }
shown_owner_tip() { state | grep -q "hidden=0 at=[-0-9]*,[-0-9]* tip=$1\$"; }
# Moves the mouse over a shown button and clicks it.
click_button() {  # click_button CLASS ID
  local at
  at=$(button_line "$1" "$2" | sed -n 's/.* at=\([-0-9]*\),\([-0-9]*\) .*/\1 \2/p')
  [ -n "$at" ] || return 1
  # shellcheck disable=SC2086
  xdotool mousemove $at && sleep 0.3 && xdotool click 1
}
# No tray button is left whose owner window has gone (with a pattern, among the buttons whose
# line has it: ' hidden=0 ' for the shown ones).
no_dead_owner() {
  local s owner
  s=$(state) || return 1
  for owner in $(echo "$s" | grep -e "${1:-^button }" | sed -n 's/^button [0-9]* owner=\([0-9a-f]*\) .*/\1/p'); do
    [ "$(probe iswindow "$owner")" = 1 ] || return 1
  done
}
none_hidden() { local s; s=$(state) && ! echo "$s" | grep -q 'hidden=1'; }
notify_right() { state | sed -n 's/^notify left=\([-0-9]*\) width=\([0-9]*\)$/\1 \2/p' | awk '{print $1 + $2}'; }
notify_right_is() { [ "$(notify_right)" = "$1" ]; }

rows() { probe rows; }
rows_have() {
  local r tip
  r=$(rows) || return 1
  for tip in "$@"; do echo "$r" | grep -q "text=$tip\$" || return 1; done
}
rows_lack() {
  local r
  r=$(rows) || return 1
  ! echo "$r" | grep -q "text=$1\$"
}
# The colour of a listed icon, read off the screen one pixel inside its picture's corner.
icon_colour() {
  local row rect l t
  row=$(rows | sed -n "s/^row \([0-9]*\) .* text=$1\$/\1/p")
  [ -n "$row" ] || return 1
  rect=$(probe iconrect "$row") || return 1
  read -r l t _ <<<"$rect"
  import -display "$DISPLAY" -window root -crop "1x1+$((l + 1))+$((t + 1))" +repage pixel.png 2>/dev/null || return 1
  [ "$(convert pixel.png -format '%[hex:p{0,0}]' info: 2>/dev/null | cut -c1-6 | tr 'A-F' 'a-f')" = "$2" ]
}
no_atoms() {
  local tip
  for tip in "$@"; do [ "$(probe atom "$tip")" = 0 ] || return 1; done
}
# Starts a second Corvalet, reads and dismisses its warning, and waits for it to end.
# Two Corvalets at the same moment, neither waited for: the one that loses shows the warning.
twin_start() {
  start Corvalet.exe
  start Corvalet.exe
  warning_text=""
  local deadline=$((SECONDS + 20))
  while [ $SECONDS -lt $deadline ]; do
    warning_text=$(probe dismiss Corvalet) && [ -n "$warning_text" ] && break
    sleep 0.25
  done
}
second_start() {
  timeout 60 wine Corvalet.exe >/dev/null 2>&1 &
  local pid=$!
  warning_text=""
  local deadline=$((SECONDS + 20))
  while [ $SECONDS -lt $deadline ]; do
    warning_text=$(probe dismiss Corvalet) && [ -n "$warning_text" ] && break
    sleep 0.25
  done
  wait "$pid" 2>/dev/null
}

# The views: panel, menu, the button near the clock.
# Screen points and pixels.
pixel() {  # pixel X Y: the colour there as rrggbb
  import -display "$DISPLAY" -window root -crop "1x1+$1+$2" +repage pixel.png 2>/dev/null || return 1
  convert pixel.png -format '%[hex:p{0,0}]' info: 2>/dev/null | cut -c1-6 | tr 'A-F' 'a-f'
}
pixel_is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
is() { [ "$1" = "$2" ] || { echo "        got \"$1\", wanted \"$2\"" >&2; return 1; }; }
rect_of() { sed -n 's/.*rect=\(.*\)$/\1/p'; }
own_icon_at() { state | sed -n 's/.* hidden=0 at=\([-0-9]*\),\([-0-9]*\) tip=Quillon Corvalet 2.0$/\1 \2/p'; }
panel() { probe window THint "Tray Icons"; }
panel_visible() { panel | grep -q 'visible=1'; }
panel_hidden() { ! panel_visible; }
button() { probe child Shell_TrayWnd QLTrayButton; }
button_text_is() { button | grep -q "^text=$1 visible=1"; }
no_button() { ! button >/dev/null; }
clock_visible() { state | grep -q '^clock visible=1$'; }
clock_hidden() { state | grep -q '^clock visible=0$'; }
logged() { grep -qs "callback id=$2 mouse=$3" "$1"; }
move_to() { xdotool mousemove "$1" "$2"; }
hover_own_icon() {
  local at
  at=$(own_icon_at)
  [ -n "$at" ] || return 1
  # shellcheck disable=SC2086
  move_to $at && sleep 0.2 && xdotool mousemove_relative 1 0
}
open_menu() {
  local at
  at=$(own_icon_at)
  [ -n "$at" ] || return 1
  # shellcheck disable=SC2086
  move_to $at && sleep 0.2 && xdotool click 3 && eventually 5 probe menu >/dev/null
}
# Opens the menu, chooses the entry at a position and waits for a check; a click that the
# menu did not take (a busy machine) is tried again, with the menu closed first.
choose_entry() {  # choose_entry POSITION CHECK...
  local n=$1 try
  shift
  for try in 1 2 3; do
    if open_menu; then
      sleep 0.5
      click_entry "$n"
      eventually 8 "$@" && return 0
    fi
    probe menu >/dev/null && xdotool key Escape
    sleep 0.5
  done
  return 1
}
# Clicks the menu entry at a position (0 = top), counting 20 pixels an entry, 9 a separator.
click_entry() {
  local m top y i
  m=$(probe menu) || return 1
  read -r l top _ _ <<<"$m"
  y=$((top + 3))
  for ((i = 0; i < $1; i++)); do y=$((y + ${heights[$i]})); done
  # Wait until the menu shows the entry as selected (its background changes), nudging the
  # mouse now and then: a loaded machine may be slow to track it.
  local x=$((l + 60)) before tries
  before=$(pixel $((l + 110)) $((y + 4)))
  move_to "$x" $((y + 8))
  for tries in 1 2 3 4 5 6 7 8 9 10; do
    sleep 0.3
    [ "$(pixel $((l + 110)) $((y + 4)))" != "$before" ] && break
    move_to $((x + tries % 2)) $((y + 8))
  done
  xdotool click 1
}


# The work area. Under Wine a work area that a program sets (SPI_SETWORKAREA) stays in that
# program, and the app-bar messages only keep the list of Wine's own explorer: no other program
# sees the stand-in taskbar reserve its edge. What every program reads is the display driver's
# work area, which Wine takes from the X root's _NET_WORKAREA when the display is reset. So the
# session is given the work area the stand-in set for itself (its state file says which), and
# the whole screen again once it is gone; true when every program then reads it. On the private
# Xvfb only: a real display's work area is its window manager's.
stand_in_work_area() { state | sed -n 's/^workarea \([-0-9]* [-0-9]* [-0-9]* [-0-9]*\)$/\1/p'; }
share_work_area() {
  local work l t r b
  [ -n "${XVFB_PID:-}" ] || return 0
  work=$(stand_in_work_area)
  [ -n "$work" ] || return 1
  read -r l t r b <<<"$work"
  xprop -display "$DISPLAY" -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "$l, $t, $((r - l)), $((b - t))" &&
    probe displayreset >/dev/null && [ "$(probe workarea)" = "$work" ]
}
give_back_work_area() {
  [ -n "${XVFB_PID:-}" ] || return 0
  xprop -display "$DISPLAY" -root -remove _NET_WORKAREA && probe displayreset >/dev/null
}
