#!/usr/bin/env bash
# The Windows folder's QLCvl.ini refuses writes, as it does a limited account: Corvalet keeps
# its settings in the user's Application Data\Quillon folder instead, with no error box, a new
# icon keeps its place across a restart, and only a copy there that refuses too is reported.
# Usage: limited.sh WIN32_BUILD_DIR WORK_DIR winxp|win2k
set -u
# Root's writes ignore a file's permission: the suite drops the capability that lets them, so
# that a file without write permission refuses Wine's writes as it refuses a user's.
if [ "$(id -u)" = 0 ] && [ -z "${LIMITED_WITHOUT_OVERRIDE:-}" ]; then
  LIMITED_WITHOUT_OVERRIDE=1 exec setpriv --bounding-set=-dac_override,-dac_read_search \
    bash "$0" "$@"
fi
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" "$version"
rm -rf "$WINEPREFIX/drive_c/users"/*/"Application Data/Quillon" \
  "$WINEPREFIX/drive_c/users"/*/AppData/Roaming/Quillon
rm -f "$ini"
printf '[Common]\r\nApStyle=2\r\nFuture=kept\r\n[Other program]\r\nKey=value\r\n' >"$ini"
# Wine keeps the read-only attribute as the lack of write permission: the same either way.
chmod a-w "$ini"
cp "$ini" windows-before.ini
user_copy() { find "$WINEPREFIX/drive_c/users" -path '*/Quillon/QLCvl.ini' 2>/dev/null | head -n 1; }
no_box() { ! probe dismiss Corvalet >/dev/null; }
box_text=""
box_shown() { box_text=$(probe dismiss Corvalet) && [ -n "$box_text" ]; }

shell_args=(--state 'C:\cv\state.txt')
[ "$version" = win2k ] && shell_args+=(--win2k)
start classicshell.exe "${shell_args[@]}"
check "the stand-in taskbar is up" eventually 20 probe dump

start Corvalet.exe
check "Corvalet starts" eventually 20 one_main_form
check "the save refused in the Windows folder goes to the user's folder" \
  eventually 10 eval '[ -n "$(user_copy)" ]'
copy=$(user_copy)
echo "        the user's copy: ${copy#"$WINEPREFIX/drive_c/"}"
# The file may be seen before its writing ends.
check "... which holds what the Windows folder's file held" \
  eventually 5 eval "grep -qs '^Future=kept' '$copy' && grep -qs '^Key=value' '$copy'"
check "... and the save itself" eventually 5 grep -qs '^Enabled=1' "$copy"

start trayowner.exe --class OwnerN --icon '1:November:ff8000'
check "a new icon goes to the panel" eventually 10 hidden OwnerN 1
check "... and is remembered in the user's copy" eventually 5 grep -qs '^ID_0=OwnerN' "$copy"
sleep 1
check "no error box shows" no_box
check "the Windows folder's file is as it was" cmp -s "$ini" windows-before.ini

probe close TMainForm "Quillon Corvalet" >/dev/null
check "Corvalet exits and hands the icon back" eventually 20 shown OwnerN 1
check "... without an error box" no_box
eventually 20 no_main_form

start Corvalet.exe
check "started again, the icon keeps its place" eventually 20 hidden OwnerN 1
sleep 1
check "... with no error box" no_box
probe close TMainForm "Quillon Corvalet" >/dev/null
eventually 20 no_main_form
check "the Windows folder's file is still as it was" cmp -s "$ini" windows-before.ini

# Neither place takes the save: one box, naming the user's copy.
chmod a-w "$copy"
start Corvalet.exe
check "with the user's copy refusing too, the refusal is shown" eventually 20 box_shown
check "... naming the user's copy" eval '[[ "$box_text" == "Unable to write to "*"\\Quillon\\QLCvl.ini" ]]'
check "... the icon still in its place" eventually 10 hidden OwnerN 1
probe close TMainForm "Quillon Corvalet" >/dev/null
eventually 10 box_shown  # the exit's save is refused too
check "... and Corvalet exits" eventually 20 no_main_form

finish "wine limited $version"
