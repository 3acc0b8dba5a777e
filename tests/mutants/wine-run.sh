#!/usr/bin/env bash
# Seeds faults into the window layer and the hook library (src/win32, hook), which only the
# Windows build holds, one at a time, and runs the Wine suites that should see each. Usage:
# tests/mutants/wine-run.sh [LIST] (default: windows-layer.wine). A list line is
# "file<TAB>perl substitution<TAB>suite and its arguments after the build directory[; another]";
# blank lines and lines from '#' are skipped. Heavy: one Windows build and suite run a fault.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=${MUTANTS_DIR:-/tmp/corvalet-wine-mutants}
list=${1:-$top/tests/mutants/windows-layer.wine}

mkdir -p "$work"
rm -rf "$work/src-tree"
mkdir -p "$work/src-tree"
(cd "$top" && git ls-files -co --exclude-standard | tar -cf - -T -) | tar -xf - -C "$work/src-tree"
cd "$work/src-tree"
cmake --preset win32 -B "$work/build" >/dev/null &&
  cmake --build "$work/build" >/dev/null || { echo "clean tree does not build"; exit 1; }

# Each suite once on the clean build first: a check that fails there catches nothing.
declare -A baseline
run_suite() {
  local words
  read -ra words <<<"$1"
  timeout 900 bash "tests/wine/${words[0]}" "$work/build" "$work/wine-${words[0]%.sh}" \
    "${words[@]:1}" 2>&1 | grep -E '^ *FAIL' | sed -E 's/^ *//'
}
while IFS=$'\t' read -r file subst suites; do
  case "$file" in ''|'#'*) continue ;; esac
  IFS=';' read -ra each <<<"$suites"
  for suite in "${each[@]}"; do
    [ -n "${baseline[$suite]+set}" ] && continue
    baseline[$suite]=$(run_suite "$suite")
    [ -n "${baseline[$suite]}" ] && echo "clean tree: $suite: ${baseline[$suite]//$'\n'/; }"
  done
done <"$list"

caught=0 missed=0 broken=0
while IFS=$'\t' read -r file subst suites; do
  case "$file" in ''|'#'*) continue ;; esac
  cp "$file" "$file.orig"
  perl -0pi -e "$subst" "$file"
  if cmp -s "$file" "$file.orig"; then
    echo "NOT APPLIED  $file  $subst"; broken=$((broken + 1))
  elif ! cmake --build "$work/build" >/dev/null 2>&1; then
    echo "NO BUILD     $file  $subst"; broken=$((broken + 1))
  else
    seen=""
    IFS=';' read -ra each <<<"$suites"
    for suite in "${each[@]}"; do
      failed=$(run_suite "$suite" | grep -vxF -e "${baseline[$suite]:-}" | head -n 1)
      [ -n "$failed" ] && { seen="${suite%% *}: $failed"; break; }
    done
    if [ -n "$seen" ]; then
      echo "caught       $file  $subst  by $seen"; caught=$((caught + 1))
    else
      echo "MISSED       $file  $subst  ($suites)"; missed=$((missed + 1))
    fi
  fi
  mv "$file.orig" "$file"
done <"$list"
cmake --build "$work/build" >/dev/null 2>&1
echo "mutants: $caught caught, $missed missed, $broken did not apply or build"
