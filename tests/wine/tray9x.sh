#!/usr/bin/env bash
# The 9x line under Wine: Windows 98 and ME, each against the stand-in taskbar with its toolbar
# under a SysPager and straight under the notification area, all in one prefix. Each round:
# the remembered icons are hidden, a new one is placed and written to the settings file, a
# shell that dies and starts again is taken again, and the exit hands every icon back.
# Usage: tray9x.sh WIN32_BUILD_DIR WORK_DIR [VERSION ...]   (win98 winme by default)
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
shift 2
versions=("$@")
[ ${#versions[@]} -gt 0 ] || versions=(win98 winme)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "${versions[0]}"
owner='C:\cv\trayowner.exe'

round() {  # round VERSION MINOR LAYOUT
  local version=$1 minor=$2 layout=$3 name="$1 $3" old
  local shell_args=(--state 'C:\cv\state.txt')
  [ "$layout" = toolbar ] && shell_args+=(--win2k)
  # Wine reads the version at each process's start.
  wreg add 'HKCU\Software\Wine' /v Version /d "$version" /f
  # The tray's icon is remembered too: one a shell restart brings back after Corvalet's
  # re-reading is reported as added, and an unremembered one would then follow ApStyle.
  printf '[Common]\r\nApStyle=2\r\n[Panel items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerA\r\n[Menu items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerB\r\n[Tray items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerC\r\n' \
    "$owner" "$owner" "$owner" >"$ini"
  check "$name: programs are told Windows 9x 4.$minor" is "$(probe version)" "platform=1 major=4 minor=$minor"
  start classicshell.exe "${shell_args[@]}"
  eventually 20 probe dump
  if [ "$layout" = toolbar ]; then
    check "$name: the stand-in's toolbar sits straight under the notification area" \
      eval '! probe child Shell_TrayWnd TrayNotifyWnd SysPager >/dev/null &&
            probe child Shell_TrayWnd TrayNotifyWnd ToolbarWindow32 >/dev/null'
  else
    check "$name: the stand-in's toolbar sits under a SysPager" \
      eval 'probe child Shell_TrayWnd TrayNotifyWnd SysPager ToolbarWindow32 >/dev/null'
  fi
  start trayowner.exe --class OwnerA --icon '1:Alpha:ff0000'
  start trayowner.exe --class OwnerB --icon '7:Bravo:0000ff'
  start trayowner.exe --class OwnerC --icon '3:Charlie:ffff00'
  check "$name: the owners' icons are in the stand-in's toolbar" eventually 20 buttons_are 3

  start Corvalet.exe
  check "$name: the icon remembered in the panel is hidden" eventually 20 hidden OwnerA 1
  check "$name: ... the menu's too" eventually 5 hidden OwnerB 7
  check "$name: ... the tray's stays shown" shown OwnerC 3
  start trayowner.exe --class OwnerD --icon '4:Delta:00ff00'
  check "$name: a new icon follows ApStyle (the panel)" eventually 10 hidden OwnerD 4
  check "$name: ... and is written to the settings file" \
    eventually 5 grep -qs 'ID_1=OwnerD' "$ini"

  old=$(probe hwnd Shell_TrayWnd)
  wine_kill classicshell.exe
  eventually 10 eval '[ "$(probe hwnd Shell_TrayWnd)" != "$old" ]'
  start classicshell.exe "${shell_args[@]}"
  eventually 20 probe dump
  check "$name: after a shell restart the owners put their icons back" eventually 20 buttons_are 5
  check "$name: ... the remembered icons are hidden again" \
    eventually 10 eval 'hidden OwnerA 1 && hidden OwnerB 7 && hidden OwnerD 4'
  # A refresh of Corvalet's own icon takes it out of the tray and adds it again: wait for it.
  check "$name: ... the tray's icon and Corvalet's own are shown" \
    eventually 10 eval 'shown OwnerC 3 && shown_owner_tip "Quillon Corvalet 2.0"'

  probe close TMainForm "Quillon Corvalet" >/dev/null
  check "$name: Corvalet exits" eventually 20 no_main_form
  check "$name: ... every icon is shown again, its own gone" \
    eventually 10 eval 'none_hidden && buttons_are 4'

  wine_kill classicshell.exe
  wine_kill trayowner.exe
  eventually 10 eval '! probe hwnd OwnerA >/dev/null && ! probe hwnd OwnerD >/dev/null'
}

for version in "${versions[@]}"; do
  case $version in
    win98) minor=10 ;;
    winme) minor=90 ;;
    *) echo "tray9x: unknown version $version"; exit 2 ;;
  esac
  for layout in syspager toolbar; do round "$version" "$minor" "$layout"; done
done
finish "tray9x (${versions[*]})"
