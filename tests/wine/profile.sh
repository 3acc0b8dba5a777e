#!/usr/bin/env bash
# Runs the profile cases against Wine's own profile functions and compares the results with
# the stored fixture that the native test holds the simulated functions against.
# Usage: profile.sh WIN32_BUILD_DIR WORK_DIR [--update]   (--update rewrites the fixture)
set -u
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
update=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
fixture="$here/../profile/wine-results.txt"
. "$here/session.sh"
. "$here/checks.sh"

trap wine_session_end EXIT
wine_session_begin "$work/prefix" winxp
app="$WINEPREFIX/drive_c/pc"
rm -rf "$app"
mkdir -p "$app"
cp "$build/tools/profilecases.exe" "$here/../profile/cases.txt" "$app/"
cd "$app"
check "the profile cases run" timeout 60 wine profilecases.exe cases.txt results.txt
if [ "$update" = --update ]; then
  cp results.txt "$fixture"
  echo "fixture written: $fixture"
fi
check "Wine's profile functions still give the stored results" cmp -s results.txt "$fixture"
finish "wine profile"
