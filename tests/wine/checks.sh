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
