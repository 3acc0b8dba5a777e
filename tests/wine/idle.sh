#!/usr/bin/env bash
# An idle Corvalet sleeps: with 20 icons placed (some in the panel and the menu), the panel
# closed and nothing happening, its threads are not switched to at all for SECONDS; and the
# shell, with the hook in it, wakes at most once a second more than without Corvalet (counted in
# context switches of all its threads, a few per wake-up under Wine).
# Usage: idle.sh WIN32_BUILD_DIR WORK_DIR SECONDS
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
seconds=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" winxp
owner='C:\cv\trayowner.exe'
printf '[Panel items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerA\r\n[Menu items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerB\r\n' \
  "$owner" "$owner" >"$ini"
start classicshell.exe --state 'C:\cv\state.txt'
check "the stand-in taskbar is up" eventually 20 probe dump
check "... and reserves its edge for every program" share_work_area
icons() { local i; for i in $(seq "$2" "$3"); do printf -- "--icon %d:%s%d:%02x8040 " "$i" "$1" "$i" "$((i * 12))"; done; }
# shellcheck disable=SC2046
start trayowner.exe --class OwnerA $(icons Alpha 1 5)
# shellcheck disable=SC2046
start trayowner.exe --class OwnerB $(icons Bravo 6 10)
# shellcheck disable=SC2046
start trayowner.exe --class OwnerC $(icons Charlie 11 20)
check "20 icons are in the tray" eventually 20 buttons_are 20
pids_of() {  # this prefix's processes named $1
  local pid
  for pid in $(pgrep -f "$1"); do
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "${1:0:15}" ] || continue  # comm keeps 15
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
}
switches() {  # context switches of every thread of the given processes
  local pid total=0 n
  for pid in "$@"; do
    for n in $(cat /proc/"$pid"/task/*/status 2>/dev/null | sed -n 's/^\(non\)\{0,1\}voluntary_ctxt_switches:[[:space:]]*//p'); do
      total=$((total + n))
    done
  done
  echo "$total"
}
shell=$(pids_of classicshell.exe)
sleep 2
s0=$(switches $shell)
sleep "$seconds"
shell_alone=$(($(switches $shell) - s0))

start Corvalet.exe
check "Corvalet places the icons" eventually 20 hidden OwnerA 1
sleep 5
corvalet=$(pids_of Corvalet.exe)
c0=$(switches $corvalet)
s0=$(switches $shell)
sleep "$seconds"
woken=$(($(switches $corvalet) - c0))
shell_with=$(($(switches $shell) - s0))
echo "  processes: Corvalet ${corvalet:-not found}, shell ${shell:-not found}"
echo "  in $seconds s: Corvalet's threads switched to $woken times; the shell $shell_alone times alone, $shell_with with the hook"
check "Corvalet's and the shell's processes are found" eval '[ -n "$corvalet" ] && [ -n "$shell" ]'
check "an idle Corvalet is not woken" [ "$woken" -eq 0 ]
# The hook's watchdog ticks once a second; under Wine each tick costs the shell's threads a few
# switches (every server call is one), so the bound is ten switches a second, not one.
check "the hook adds at most one wake-up a second to the shell" [ $((shell_with - shell_alone)) -le $((10 * seconds)) ]

probe close TMainForm "Quillon Corvalet" >/dev/null
check "Corvalet ends" eventually 20 no_main_form
finish "idle ($seconds s)"
