#!/usr/bin/env bash
# The Windows build under Wine: the binaries are what they claim, Corvalet starts as the one
# instance, refuses a second, and ends on WM_CLOSE.
# Usage: smoke.sh WIN32_BUILD_DIR WORK_DIR
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
. "$here/checks.sh"

exe=$build/src/win32/Corvalet.exe
dll=$build/hook/Snarehook.dll
objdump=i686-w64-mingw32-objdump

check "Corvalet.exe is PE32" bash -c "file '$exe' | grep -q 'PE32 executable (GUI) Intel 80386'"
check "Snarehook.dll is PE32" bash -c "file '$dll' | grep -q 'PE32 executable (DLL)'"
check "Snarehook.dll exports SetTrayHook and DeleteTrayHook undecorated" bash -c \
  "$objdump -p '$dll' | grep -qE '^\s+\[ *[0-9]+\] SetTrayHook$' && $objdump -p '$dll' | grep -qE '^\s+\[ *[0-9]+\] DeleteTrayHook$'"
check "Snarehook.dll imports system DLLs only" bash -c \
  "! $objdump -p '$dll' | grep 'DLL Name' | grep -viqE 'KERNEL32|USER32|GDI32|msvcrt'"
check "Corvalet.exe imports Snarehook.dll" bash -c "$objdump -p '$exe' | grep -q 'DLL Name: Snarehook.dll'"

rm -rf "$work/app"
mkdir -p "$work/app"
cp "$exe" "$dll" "$build/tools/probe.exe" "$work/app/"
trap wine_session_end EXIT
wine_session_begin "$work/prefix" winxp
rm -f "$(wine_windows_dir)/QLCvl.ini"
cd "$work/app"

timeout 120 wine Corvalet.exe >/dev/null 2>&1 &
first=$!
check "Corvalet starts with its TMainForm \"Quillon Corvalet\"" eventually 20 one_main_form
ini="$(wine_windows_dir)/QLCvl.ini"
check "the settings are written to QLCvl.ini in the Windows directory" \
  eventually 10 grep -qs '^Enabled=1' "$ini"
check "... and nothing in the user's folder" \
  eval '[ -z "$(find "$WINEPREFIX/drive_c/users" -path "*/Quillon*" 2>/dev/null)" ]'

second_start
check "a second start shows the warning" [ "${warning_text:-}" = "Can not be more then 2 Corvalets in the memory.||Please close one." ]
check "exactly one Corvalet runs" one_main_form

probe close TMainForm "Quillon Corvalet" >/dev/null
first_ended() { ! kill -0 "$first" 2>/dev/null; }
check "Corvalet ends on WM_CLOSE" eventually 20 first_ended
check "no main form is left" no_main_form

finish "wine smoke"
