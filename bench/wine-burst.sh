#!/usr/bin/env bash
# Bursts of tray changes under Wine: OWNERS programs remove, add again and change their icon
# CYCLES times each beside 9 icons that stay, with Corvalet placing new icons into the panel and
# its menu opened now and then meanwhile. Reports per run: the time from the last change until
# every owner's icon sits in the panel for good, the worst and median time to open the menu
# during the burst, the readings of the tray, Corvalet's memory before and after, and the tips'
# atoms left behind.
# Usage: bench/wine-burst.sh [OWNERSxCYCLES ...]  (after cmake --build --preset win32; default
# 10x100 20x167, that is 3,000 and 10,020 changes; BURST_RUNS runs of each, 3 by default)
set -u
cd "$(dirname "$0")/.."
root=$(pwd)
. tests/wine/session.sh
. tests/wine/checks.sh
trap wine_session_end EXIT
wine_session_begin "$root/build/wine-burst" winxp
app="$WINEPREFIX/drive_c/cv"
rm -rf "$app"
mkdir -p "$app"
cp build/win32/src/win32/Corvalet.exe build/win32/hook/bench/Snarehook.dll build/win32/tools/*.exe "$app/"
cd "$app"
ini="$(wine_windows_dir)/QLCvl.ini"

configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(10x100 20x167)
for config in "${configs[@]}"; do
  for run in $(seq 1 "${BURST_RUNS:-3}"); do
    printf '[Common]\r\nApStyle=2\r\n' >"$ini"
    start classicshell.exe --state 'C:\cv\state.txt'
    eventually 20 probe dump >/dev/null
    start Corvalet.exe
    eventually 20 one_main_form
    sleep 1
    line=$(timeout 900 wine burstbench.exe "${config%x*}" "${config#*x}" 9 ${BURST_ARGS:-} | tr -d '\r')
    echo "owners=${config%x*} cycles=${config#*x} run=$run $line"
    probe close TMainForm "Quillon Corvalet" >/dev/null
    eventually 20 no_main_form
    timeout 20 wineserver -k >/dev/null 2>&1
    timeout 20 wineserver -w >/dev/null 2>&1
    (timeout 30 wineserver -p >/dev/null 2>&1 &)
  done
done
