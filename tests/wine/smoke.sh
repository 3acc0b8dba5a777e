#!/usr/bin/env bash
# The Windows build under Wine: the binaries are what they claim, Corvalet starts as the one
# instance, refuses a second, and ends on WM_CLOSE.
# Usage: smoke.sh WIN32_BUILD_DIR WORK_DIR
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"

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
# Polls a command for up to $1 seconds.
eventually() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
}

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

probe() { timeout 20 wine probe.exe "$@" 2>/dev/null | tr -d '\r'; }
main_forms() { probe count TMainForm "Quillon Corvalet"; }
one_main_form() { [ "$(main_forms)" = 1 ]; }
no_main_form() { [ "$(main_forms)" = 0 ]; }

timeout 120 wine Corvalet.exe >/dev/null 2>&1 &
first=$!
check "Corvalet starts with its TMainForm \"Quillon Corvalet\"" eventually 20 one_main_form
ini="$(wine_windows_dir)/QLCvl.ini"
check "the settings are written to QLCvl.ini in the Windows directory" \
  eventually 10 grep -qs '^Enabled=1' "$ini"

timeout 60 wine Corvalet.exe >/dev/null 2>&1 &
second=$!
warning() { text=$(probe dismiss Corvalet) && [ -n "$text" ]; }
check "a second start shows a message box" eventually 20 warning
check "the warning says so" [ "${text:-}" = "Can not be more then 2 Corvalets in the memory.||Please close one." ]
ended() { ! kill -0 "$second" 2>/dev/null; }
check "the second start ends after the warning" eventually 20 ended
check "exactly one Corvalet runs" one_main_form

probe close TMainForm "Quillon Corvalet" >/dev/null
first_ended() { ! kill -0 "$first" 2>/dev/null; }
check "Corvalet ends on WM_CLOSE" eventually 20 first_ended
check "no main form is left" no_main_form

echo "wine smoke: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
