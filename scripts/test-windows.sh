#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, cross-builds for Windows (scripts/build-windows.sh) with the tests,
# and runs them under Wine on a private X display (scripts/wine-session.sh): the logic's
# GoogleTest programs built for Windows, and the real lexitrove.exe and its installer worked from
# outside (tests/win32). Arguments go to ctest (-R win32: the desktop's tests only). Ends with
# ctest's closing line.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_WINDOWS:-build-windows}
export BUILD_WINDOWS=$build
jobs=$(scripts/jobs.sh)
scripts/build-windows.sh

# shellcheck source=scripts/wine-session.sh
. scripts/wine-session.sh
wine_session "$build"
cmake --build "$build" -j"$jobs"
# One Wine program for the whole run, which also starts Wine's desktop process away from ctest's
# pipes (see holdSession in tests/win32/win32_driver.h); it ends when this script closes fd 8.
rm -f "$build/wine-session"
mkfifo "$build/wine-session"
wine "$build/tests/win32/win32_e2e_test.exe" --hold-session <"$build/wine-session" >"$build/wine-session.log" 2>&1 &
session=$!
exec 8>"$build/wine-session"
until grep -q ready "$build/wine-session.log"; do
  kill -0 "$session" 2>/dev/null || { echo "test-windows: the Wine session did not start:" >&2; cat "$build/wine-session.log" >&2; exit 1; }
  sleep 0.1
done
ctest --test-dir "$build" --output-on-failure -j"$jobs" "$@"
