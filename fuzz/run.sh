#!/usr/bin/env bash
# Runs every libFuzzer target over a copy of its seed corpus, for SECONDS each (default 30) or
# RUNS inputs each when given as "-runs=N". Prints "fuzz: N passed, N failed".
# Usage: fuzz/run.sh [SECONDS | -runs=N]   (after: cmake --preset fuzz && cmake --build --preset fuzz)
set -u
cd "$(dirname "$0")/.."
limit=${1:-30}
case $limit in -runs=*) budget=("$limit") ;; *) budget=(-max_total_time="$limit") ;; esac
work=build/fuzz/corpora
passed=0
failed=0
for target in CopyData Settings Language Notifications; do
  lower=$(echo "$target" | tr 'A-Z' 'a-z')
  corpus="$work/$lower"
  mkdir -p "$corpus" "$work/crashes"
  cp -n fuzz/corpus/"$lower"/* "$corpus/" 2>/dev/null
  log="$work/$lower.log"
  # A hang is an input that takes more than 10 s; memory is bounded per input.
  if build/fuzz/fuzz/"${target}_fuzz" "${budget[@]}" -timeout=10 -rss_limit_mb=2048 \
      -max_len=4096 -artifact_prefix="$work/crashes/$lower-" -print_final_stats=1 \
      "$corpus" >"$log" 2>&1; then
    passed=$((passed + 1))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "  ok    $target: $runs inputs, no crash, no sanitizer report, no hang"
  else
    failed=$((failed + 1))
    echo "  FAIL  $target: see $log"
    grep -m5 -E 'ERROR|SUMMARY|deadly|timeout' "$log" | sed 's/^/        /'
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
