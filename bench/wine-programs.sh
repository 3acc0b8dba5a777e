#!/usr/bin/env bash
# Programs acting on the tray at once under Wine, with the hook as it ships: each icon owner a
# process of its own, all let go at one moment, first icons added during the burst, new icons
# going to the panel. Against the stand-in taskbar as it is ("classic": it lays the tray out
# inside NIM_ADD and NIM_DELETE) and as a tray that lays out later ("fast").
#   burst: OWNERS programs add their icon, then remove, add again and change it CYCLES times,
#     beside 9 icons that stay; first without Corvalet, then with it and its menu opened
#     meanwhile. One line per run (see tools/burstprograms.cpp).
#   ten: 9 icons in the tray, Corvalet up for 8 s, then ten programs add an icon each at once;
#     20 s later, how many went to the panel and the tips' atoms left.
# Usage: bench/wine-programs.sh [OWNERSxCYCLES ...]  (after cmake --build --preset win32;
# default 10x100 20x167, 3,010 and 10,040 changes; BURST_RUNS runs of each and TEN_RUNS of ten,
# 1 by default; TRAYS="classic fast" by default)
set -u
cd "$(dirname "$0")/.."
. bench/session.sh
bench_session_begin "$root/build/wine-programs" shipped

configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(10x100 20x167)

round() {  # round TRAY ARGS...: one run of the driver against a fresh stand-in and settings file
  local tray=$1 flags=
  shift
  [ "$tray" = fast ] && flags=--fast-tray
  printf '[Common]\r\nApStyle=2\r\n' >"$ini"
  rm -f driver.txt
  start classicshell.exe --count $flags --state 'C:\cv\state.txt'
  eventually 20 probe dump >/dev/null
  # A file, not a pipe: a program the driver started may outlive it.
  timeout 1500 wine burstprograms.exe "$@" >driver.txt 2>/dev/null
  tr -d '\r' <driver.txt
  bench_round_end
}

for tray in ${TRAYS:-classic fast}; do
  for run in $(seq 1 "${TEN_RUNS:-1}"); do
    echo "tray=$tray ten run=$run $(round "$tray" ten)"
  done
  for config in "${configs[@]}"; do
    for run in $(seq 1 "${BURST_RUNS:-1}"); do
      echo "tray=$tray owners=${config%x*} cycles=${config#*x} run=$run $(round "$tray" burst "${config%x*}" "${config#*x}")"
    done
  done
done
