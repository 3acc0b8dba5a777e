#!/usr/bin/env bash
# The cost of one added icon end to end under Wine: from an owner's Shell_NotifyIconA(NIM_ADD)
# returning to its button hidden, with 10 and 100 icons in the tray, for a process Corvalet has
# placed before (its button may be hidden before the call returns) and for a new process, whose
# button Corvalet hides after reading the tray (tools/traybench.cpp), beside one
# bare Shell_NotifyIconA call and one cross-process SendMessageA round trip; and the messages
# exchanged per added icon against the protocol's floor (a batch counts the messages it carries).
# Runs with the hook's answers as shipped (the rest after the begin message in one piece) and, for
# comparison, every message sent on its own.
# Usage: bench/wine-bench.sh [MODE ...]  (after cmake --build --preset win32; modes: shipped sent)
set -u
cd "$(dirname "$0")/.."
. bench/session.sh
bench_session_begin "$root/build/wine-bench"

printf '%-8s %6s %14s %14s %16s %14s %10s %8s %7s\n' answers icons placed_before new_process \
  "x notify_call" "x round_trip" messages floor "x floor"
modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(shipped sent)
for mode in "${modes[@]}"; do
  for icons in ${BENCH_ICONS:-10 100}; do
    if [ "$mode" = sent ]; then export SNAREHOOK_SEND_ANSWERS=1; else unset SNAREHOOK_SEND_ANSWERS; fi
    bench_round_begin
    line=$(timeout "${BENCH_TIMEOUT:-300}" wine traybench.exe "$icons" 7 2>"${TRAYBENCH_LOG:-/dev/null}" | tr -d '\r')
    bench_round_end
    get() { echo " $line" | sed -n "s/.* $1=\([0-9.]*\).*/\1/p"; }
    placed=$(get add_to_hidden_ms)
    add=$(get new_add_to_hidden_ms)
    notify=$(get notify_ms)
    trip=$(get roundtrip_ms)
    told=$(get told)
    requested=$(get requested)
    # The floor: the report, the request, begin and end, five messages per listed icon, and
    # the one TB_HIDEBUTTON of the new icon.
    floor=$((1 + 1 + 2 + 5 * icons + 1))
    # The factors are the new process's.
    awk -v m="$mode" -v n="$icons" -v p="$placed" -v a="$add" -v s="$notify" -v r="$trip" -v t="$told" -v q="$requested" -v f="$floor" \
      'BEGIN { printf "%-8s %6d %11.2f ms %11.2f ms %16.1f %14.0f %10.0f %8d %7.2f\n", m, n, p, a, a / s, a / r, t + q, f, (t + q) / f }'
  done
done
