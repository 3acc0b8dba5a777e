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
. bench/session.sh
bench_session_begin "$root/build/wine-burst"

configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(10x100 20x167)
for config in "${configs[@]}"; do
  for run in $(seq 1 "${BURST_RUNS:-3}"); do
    bench_round_begin
    line=$(timeout 900 wine burstbench.exe "${config%x*}" "${config#*x}" 9 ${BURST_ARGS:-} | tr -d '\r')
    echo "owners=${config%x*} cycles=${config#*x} run=$run $line"
    bench_round_end
  done
done
