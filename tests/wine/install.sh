#!/usr/bin/env bash
# The installer under Wine: a silent install puts the program, the hook, the help and the
# languages under Program Files with a Start menu folder and an uninstall entry; the installed
# Corvalet takes the tray; a silent uninstall closes it, so that every icon is shown again,
# removes what was installed and keeps the user's settings file.
# Usage: install.sh WIN32_BUILD_DIR WORK_DIR DIST_DIR
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
dist=$(cd "$3" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

wine_suite_begin "$build" "$work" winxp
setup=$(ls "$dist"/Corvalet-*-setup.exe | head -1)
target="$WINEPREFIX/drive_c/Program Files/Corvalet"
rm -rf "$target"
owner='C:\cv\trayowner.exe'
printf '[Panel items]\r\nCount=1\r\nIM_0=%s\r\nID_0=OwnerA\r\n' "$owner" >"$ini"

start classicshell.exe --state 'C:\cv\state.txt'
check "the stand-in taskbar is up" eventually 20 probe dump
start trayowner.exe --class OwnerA --icon '1:Alpha:ff0000'
start trayowner.exe --class OwnerB --icon '2:Bravo:00ff00'
check "the owners' icons are in the tray" eventually 20 buttons_are 2

check "the installer runs silently and succeeds" timeout 120 wine "$setup" /S
installed() { local f; for f in "$@"; do [ -s "$target/$f" ] || { echo "        missing $f" >&2; return 1; }; done; }
check "... the program, the hook, help, languages and uninstaller are installed" \
  installed Corvalet.exe Snarehook.dll Help/index.html Help/Corvalet.chm \
  Help/images/panel.png English.lng Deutsch.lng ReadMe.txt Uninstall.exe
check "... the same program as built" cmp -s "$target/Corvalet.exe" "$dist/Corvalet/Corvalet.exe"
shortcut() { find "$WINEPREFIX/drive_c" -path '*Corvalet/Corvalet.lnk' | grep -q .; }
check "... with a Start menu entry" shortcut
help_link() { find "$WINEPREFIX/drive_c" -path '*Corvalet/Corvalet Help.lnk' -exec strings -a {} + | grep -q 'Help.Corvalet\.chm'; }
check "... and one for the help, in HTML Help where the system has it" help_link
uninstall_entry() { timeout 30 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvalet' /v DisplayVersion 2>/dev/null | tr -d '\r' | grep -q 'DisplayVersion.*2\.0'; }
check "... and an uninstall entry with the version" uninstall_entry
check "... no start with Windows unless chosen" eval "! timeout 30 wine reg query 'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run' /v Corvalet >/dev/null 2>&1"

start 'C:\Program Files\Corvalet\Corvalet.exe'
check "the installed Corvalet takes the tray" eventually 20 hidden OwnerA 1
# The uninstaller runs a copy of itself from the temporary folder, as it does for a user, and
# returns at once: its work is waited for below.
check "silent uninstall starts" timeout 120 wine 'C:\Program Files\Corvalet\Uninstall.exe' /S
check "... Corvalet was closed first" eventually 10 no_main_form
check "... so every icon is shown again" eventually 10 none_hidden
gone() { local f; for f in "$@"; do [ ! -e "$target/$f" ] || { echo "        left $f" >&2; return 1; }; done; }
check "... the program, help, languages and uninstaller are gone" \
  eventually 30 gone Corvalet.exe Help English.lng Deutsch.lng ReadMe.txt Uninstall.exe
hook_leaves() {
  [ ! -e "$target/Snarehook.dll" ] && return 0
  timeout 30 wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null | grep -qi 'Snarehook.dll'
}
check "... the hook library too, or at the next start while the shell still holds it" hook_leaves
check "... the Start menu entry too" eventually 10 eval '! shortcut'
check "... and the uninstall entry" eventually 10 eval '! uninstall_entry'
check "... the settings file is kept" grep -q 'OwnerA' "$ini"
finish "install"
