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
# What a run cut short between the installer test's install and uninstall left in the kept prefix,
# which that test would otherwise find installed already on every later run.
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/Lexitrove
wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lexitrove' /f >/dev/null 2>&1 || true
cmake --build "$build" -j"$jobs"
# One Wine program for the whole run, which also starts Wine's desktop process away from ctest's
# pipes (see holdSession in tests/win32/win32_driver.h); it ends when this script closes fd 8.
rm -f "$build/wine-session"
mkfifo "$build/wine-session"
: >"$build/wine-session.log"
wine "$build/tests/win32/win32_e2e_test.exe" --hold-session <"$build/wine-session" >>"$build/wine-session.log" 2>&1 &
session=$!
exec 8>"$build/wine-session"
for ((tries = 0; ; tries++)); do
  grep -q '^ready' "$build/wine-session.log" && break
  if ! kill -0 "$session" 2>/dev/null || ((tries == 1200)); then
    echo "test-windows: the Wine session did not start within 2 minutes:" >&2
    cat "$build/wine-session.log" >&2
    exit 1
  fi
  sleep 0.1
done
ctest --test-dir "$build" --output-on-failure -j"$jobs" "$@"
