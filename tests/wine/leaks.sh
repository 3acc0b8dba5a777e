#!/usr/bin/env bash
# Cycles of work leave nothing behind, under Wine: icons added, changed and removed, the panel
# and the menu opened and closed, windows minimized and brought back. Afterwards no atom of the
# tips is alive, the counting build's live icon, GDI, image-list, menu, DC, hook, atom and kernel
# handles are back where they were after a warm-up, and Corvalet's memory has not grown by more
# than a small bound.
# Usage: leaks.sh WIN32_BUILD_DIR WORK_DIR ICON_CYCLES PANEL_CYCLES MENU_CYCLES MINIMIZE_CYCLES
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
icons=$3 panels=$4 menus=$5 minimizes=$6
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" winxp
cp "$build/src/win32/counting/Corvalet.exe" "$app/Corvalet.exe"
owner='C:\cv\trayowner.exe'
printf '[Panel items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerA\r\n[Menu items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerB\r\n' \
  "$owner" "$owner" >"$ini"

start classicshell.exe --state 'C:\cv\state.txt'
check "the stand-in taskbar is up" eventually 20 probe dump
check "... and reserves its edge for every program" share_work_area
start trayowner.exe --class OwnerA --icon '1:Alpha:ff0000'
start trayowner.exe --class OwnerB --icon '2:Bravo:0000ff'
check "the owners' icons are in the tray" eventually 20 buttons_are 2
start Corvalet.exe
check "Corvalet (counting build) takes the tray" eventually 20 hidden OwnerA 1
# Ten programs add an icon each at the same moment to a tray of nine (and Corvalet's own): every
# answer's tip atoms are deleted, whether Corvalet read them or the hook took them back.
for i in 3 4 5 6 7 8 9; do start trayowner.exe --class Nine$i --icon "1:Nine $i:808080"; done
check "a tray of nine icons" eventually 30 buttons_are 10
for i in 0 1 2 3 4 5 6 7 8 9; do start trayowner.exe --class Burst$i --after BurstGo --icon "1:Burst $i:00ff00"; done
burst_up() { local i; for i in 0 1 2 3 4 5 6 7 8 9; do probe hwnd Burst$i >/dev/null || return 1; done; }
check "ten more programs wait to add their icons" eventually 60 burst_up
check "... and add them at once" eval 'probe signal BurstGo && eventually 30 buttons_are 20'
check "... which Corvalet lists" eventually 20 rows_have "Burst 0" "Burst 9" "Nine 9"
tips_left() { echo $(($(probe atoms "Burst ") + $(probe atoms "Nine "))); }
check "no atom of their tips or of the tray's is alive afterwards" eventually 20 eval '[ "$(tips_left)" = 0 ]'
for i in 3 4 5 6 7 8 9; do probe send Nine$i quit >/dev/null; done
for i in 0 1 2 3 4 5 6 7 8 9; do probe send Burst$i quit >/dev/null; done
check "... and those programs go again" eventually 30 buttons_are 3
churn() { timeout 1800 wine churn.exe "$@" 2>/dev/null | tr -d '\r' | grep -q 'cycles done'; }
corvalet_rss() {  # kB of resident memory of this prefix's Corvalet.exe (not its launcher)
  local pid
  for pid in $(pgrep -f 'Corvalet.exe'); do
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Corvalet.exe ] || continue
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
      sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB$/\1/p' "/proc/$pid/status" && return 0
  done
  return 1
}
handles() { probe handles; }

# A warm-up: caches, fonts and the first showing of each window take what they keep.
check "warm-up cycles" eval 'churn icons 20 && churn panel 1 && churn menu 2 && churn minimize 2'
sleep 3
before=$(handles)
rss_before=$(corvalet_rss)
echo "  handles after the warm-up: $before; memory ${rss_before:-?} kB"

check "$icons icons added, changed and removed" churn icons "$icons"
check "$panels openings of the panel" churn panel "$panels"
check "$menus openings of the menu" churn menu "$menus"
check "$minimizes windows minimized and brought back" churn minimize "$minimizes"
same_handles() { [ "$(handles)" = "$before" ]; }
check "every live handle is back where it was" eventually 30 same_handles
after=$(handles)
rss_after=$(corvalet_rss)
echo "  handles after the cycles: $after; memory ${rss_after:-?} kB"
tips_gone() {
  local i tip
  for i in 0 $((icons / 2)) $((icons - 1)); do
    for tip in "Churn $i" "Churn $i changed"; do [ "$(probe atom "$tip")" = 0 ] || return 1; done
  done
}
check "no atom of a tip is alive" tips_gone
check "memory grew by less than 1 MB" eval '[ -n "$rss_before" ] && [ -n "$rss_after" ] && [ $((rss_after - rss_before)) -lt 1024 ]'

probe close TMainForm "Quillon Corvalet" >/dev/null
check "Corvalet ends" eventually 20 no_main_form
check "... every icon is shown" eventually 10 none_hidden
finish "leaks ($icons icons, $panels panels, $menus menus, $minimizes minimizes)"
