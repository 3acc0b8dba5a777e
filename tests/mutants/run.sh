#!/usr/bin/env bash
# Seeds plausible one-line faults into a copy of the tree, one at a time, and tells which ones
# the native suite catches. Usage: tests/mutants/run.sh [LIST] (default: every *.txt here).
# A list line is "file<TAB>perl substitution"; blank lines and lines from '#' are skipped.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=${MUTANTS_DIR:-/tmp/corvalet-mutants}
lists=("$@")
[ ${#lists[@]} -eq 0 ] && lists=("$top"/tests/mutants/*.txt)

mkdir -p "$work"
rm -rf "$work/src-tree"
mkdir -p "$work/src-tree"
(cd "$top" && git ls-files -co --exclude-standard | tar -cf - -T -) | tar -xf - -C "$work/src-tree"
cd "$work/src-tree"
cmake -S . -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVALET_SANITIZE=ON >/dev/null
cmake --build "$work/build" >/dev/null || { echo "clean tree does not build"; exit 1; }

caught=0 missed=0 broken=0
while IFS=$'\t' read -r file subst; do
  case "$file" in ''|'#'*) continue ;; esac
  cp "$file" "$file.orig"
  perl -0pi -e "$subst" "$file"
  if cmp -s "$file" "$file.orig"; then
    echo "NOT APPLIED  $file  $subst"; broken=$((broken + 1))
  elif ! cmake --build "$work/build" >/dev/null 2>&1; then
    echo "NO BUILD     $file  $subst"; broken=$((broken + 1))
  elif timeout 300 "$work/build/tests/corvalet_tests" --gtest_brief=1 >/dev/null 2>&1; then
    echo "MISSED       $file  $subst"; missed=$((missed + 1))
  else
    echo "caught       $file  $subst"; caught=$((caught + 1))
  fi
  mv "$file.orig" "$file"
done < <(cat "${lists[@]}")
cmake --build "$work/build" >/dev/null 2>&1
echo "mutants: $caught caught, $missed missed, $broken did not apply or build"
