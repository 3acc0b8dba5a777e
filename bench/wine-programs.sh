#!/usr/bin/env bash
# Programs acting on the tray at once under Wine: each icon owner a process of its own, all let
# go at one moment, first icons added during the burst, new icons going to the panel.
#   burst: OWNERS programs add their icon, then remove, add again and change it CYCLES times,
#     beside 9 icons that stay; first without Corvalet, then with it and its menu opened
#     meanwhile, in one Wine session (never without after with: under Wine what a hook costs a
#     thread may outlast it). One line per run (see tools/burstprograms.cpp), with the account
#     of what Corvalet made the shell's thread do per change.
#   hook: the same burst without anything, then with only a hook that calls the next hook on
#     the taskbar's thread (HOOKS: callwndproc, getmessage, callwndproc-removed), each in a Wine
#     session of its own.
#   animate: ten programs change their icons' picture and tip ten times a second for 20 s,
#     without Corvalet, then with it and the icons in the tray, the panel or the menu (ANIMATE:
#     the ApStyle of each run, "1 2 3" by default, "" for none): the shell's CPU time in both
#     and Corvalet's in the second. An ApStyle named again runs again ("1 2 3 1 2 3"); each
#     ends with a line of medians, since the machine's own speed swings between runs. Each
#     run has a control, in a Wine session of its own at the same moments, without Corvalet
#     in either animation: paired_shell_ratio is the run's ratio over the control's, which
#     takes out what the machine's swings did to both (PAIRED=0: no control).
#   ten: 9 icons in the tray, Corvalet up for 8 s, then ten programs add an icon each at once;
#     20 s later, how many went to the panel and the tips' atoms left.
# Trays: "lean" (tools/leantray.exe: per change only the toolbar calls it needs, the one every
# cost figure is taken against), "classic" (the stand-in, laying the tray out inside NIM_ADD and
# NIM_DELETE) and "fast" (the stand-in laying out later); the stand-in counts with a hook of its
# own on its thread, which weighs on both sides of its ratio.
# Usage: bench/wine-programs.sh [OWNERSxCYCLES ...]  (after cmake --build --preset win32;
# default 10x100 20x167, 3,010 and 10,040 changes; BURST_RUNS runs of each (3), then a line of
# medians for each; TEN_RUNS of ten
# (0 by default); TRAYS="lean" by default; HOOKS="callwndproc" by default, "" for none;
# HOOK_BUILD=bench (the benchmark build of the hook, whose counters give the account; its
# serving is the shipped one's) or shipped; MENUS=0 leaves Corvalet's menu shut during the burst)
set -u
cd "$(dirname "$0")/.."
. bench/session.sh
bench_session_begin "$root/build/wine-programs" "${HOOK_BUILD:-bench}"
summary="$root/build/wine-programs/bursts.txt"  # every burst's line, for the medians
rm -f "$summary"

configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(10x100 20x167)

load() { cut -d' ' -f1-3 /proc/loadavg | tr ' ' /; }

round() {  # round TRAY ARGS...: one run of the driver against a fresh tray and settings file
  local tray=$1 shell=classicshell.exe
  shift
  [ "$tray" = lean ] && shell=leantray.exe
  printf '[Common]\r\nApStyle=%s\r\n' "${apstyle:-2}" >"$ini"
  rm -f driver.txt
  case $tray in
    lean) start leantray.exe --state 'C:\cv\state.txt' ;;
    fast) start classicshell.exe --count --fast-tray --state 'C:\cv\state.txt' ;;
    *) start classicshell.exe --count --state 'C:\cv\state.txt' ;;
  esac
  eventually 20 probe dump >/dev/null
  # A file, not a pipe: a program the driver started may outlive it.
  timeout 1500 wine burstprograms.exe "$@" --shell "$shell" >driver.txt 2>/dev/null
  tr -d '\r' <driver.txt
  bench_round_end
}

# The control of an animation: the same driver in a Wine session of its own (another prefix,
# server and display) without Corvalet in either animation, meeting the run at each start.
control() {  # control TRAY PAIR_DIR
  (
    bench_session_begin "$root/build/wine-programs-control" "${HOOK_BUILD:-bench}"
    BENCH_NO_KEEPER=1 round "$1" animate --control --pair "Z:${2//\//\\}"
  ) 2>"$2/control.err"
}

for tray in ${TRAYS:-lean}; do
  for apstyle in ${ANIMATE-1 2 3}; do
    if [ "${PAIRED:-1}" = 0 ]; then
      echo "tray=$tray apstyle=$apstyle load=$(load) $(round "$tray" animate)" | tee -a "$summary"
      continue
    fi
    pair=$(mktemp -d /tmp/cv-pair.XXXXXX)
    control "$tray" "$pair" >"$pair/control.txt" &
    twin_pid=$!
    with=$(round "$tray" animate --pair "Z:${pair//\//\\}")
    wait "$twin_pid"
    ms() { grep -o " $1=[0-9.]*" | head -1 | cut -d= -f2; }  # ms FIELD <LINE
    twin=$(ms shell_ratio <"$pair/control.txt")
    twin_server=$(ms server_ratio <"$pair/control.txt")
    # From the times, not from the two rounded ratios.
    paired=$(awk -v wb="$(ms shell_bare_ms <<<"$with")" -v w="$(ms shell_ms <<<"$with")" \
      -v cb="$(ms shell_bare_ms <"$pair/control.txt")" -v c="$(ms shell_ms <"$pair/control.txt")" \
      'BEGIN { printf "%.3f", (wb > 0 && w > 0 && cb > 0 && c > 0) ? (w / wb) / (c / cb) : -1 }')
    [ "$paired" = -1 ] && sed 's/^/control: /' "$pair/control.err" >&2
    echo "tray=$tray apstyle=$apstyle load=$(load) $with control_shell_ratio=${twin:--1}" \
      "control_server_ratio=${twin_server:--1} paired_shell_ratio=$paired" | tee -a "$summary"
    rm -rf "$pair"
  done
  apstyle=2
  for run in $(seq 1 "${TEN_RUNS:-0}"); do
    echo "tray=$tray ten run=$run load=$(load) $(round "$tray" ten)"
  done
  for config in "${configs[@]}"; do
    owners=${config%x*} cycles=${config#*x}
    for run in $(seq 1 "${BURST_RUNS:-3}"); do
      echo "tray=$tray owners=$owners cycles=$cycles run=$run load=$(load)" \
        "$(round "$tray" burst "$owners" "$cycles" $([ "${MENUS:-1}" = 0 ] && echo --no-menu))" |
        tee -a "$summary"
      for hook in ${HOOKS-callwndproc}; do
        echo "tray=$tray owners=$owners cycles=$cycles run=$run load=$(load)" \
          "$(round "$tray" burst "$owners" "$cycles" --no-menu --hook "$hook")" |
          tee -a "$summary"
      done
    done
  done
done

# One line per tray, burst and kind (and animation) over its runs: the medians of the ratios, since one run's
# wall clock swings with whatever else the machine does.
[ -f "$summary" ] && awk '
  function field(k,  i) { for (i = 1; i <= NF; i++) if (index($i, k "=") == 1) return substr($i, length(k) + 2); return "" }
  function median(list,  a, n, i, j, t) {
    n = split(list, a, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    if (!n) return -1
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  $0 ~ / animate / {
    key = field("tray") " " field("apstyle")
    if (field("shell_ratio") + 0 <= 0) next  # a run that failed
    ashell[key] = ashell[key] " " field("shell_ratio"); aserver[key] = aserver[key] " " field("server_ratio")
    acore[key] = acore[key] " " field("corvalet_core_pct"); aown[key] = aown[key] " " field("own_us")
    if (field("paired_shell_ratio") + 0 > 0) apaired[key] = apaired[key] " " field("paired_shell_ratio")
    if (field("control_shell_ratio") + 0 > 0) acontrol[key] = acontrol[key] " " field("control_shell_ratio")
    aruns[key]++
  }
  field("ratio") != "" {
    kind = field("hook") ~ /^[a-z]/ ? field("hook") : "corvalet"
    key = field("tray") " " field("changes") " " kind
    ratio[key] = ratio[key] " " field("ratio")
    cpu[key] = cpu[key] " " (field("shell_cpu_bare_ms") > 0 ? field("shell_cpu_ms") / field("shell_cpu_bare_ms") : -1)
    if (field("menu_worst_ms") != "") menu[key] = menu[key] " " field("menu_worst_ms")
    if (field("settled_ms") != "") settled[key] = settled[key] " " field("settled_ms")
    runs[key]++
  }
  END {
    for (key in runs) {
      split(key, k, " ")
      printf "median tray=%s changes=%s with=%s runs=%d ratio=%.2f shell_cpu_ratio=%.2f", k[1], k[2], k[3], runs[key], median(ratio[key]), median(cpu[key])
      if (menu[key] != "") printf " menu_worst_ms=%s settled_ms=%s", median(menu[key]), median(settled[key])
      printf "\n"
    }
    for (key in aruns) {
      split(key, k, " ")
      printf "median tray=%s animate apstyle=%s runs=%d shell_ratio=%.3f control_shell_ratio=%.3f paired_shell_ratio=%.3f server_ratio=%.2f corvalet_core_pct=%.2f own_us=%.1f\n", k[1], k[2], aruns[key], median(ashell[key]), median(acontrol[key]), median(apaired[key]), median(aserver[key]), median(acore[key]), median(aown[key])
    }
  }' "$summary"
