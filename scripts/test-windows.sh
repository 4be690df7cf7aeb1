#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, cross-builds for Windows (scripts/build-windows.sh) with the tests,
# and runs them under Wine on a private X display: the logic's GoogleTest programs built for
# Windows, and the real lexitrove.exe and its installer worked from outside (tests/win32). Wine
# gets a prefix of its own in $BUILD_WINDOWS/wine and touches nothing of the user's. Arguments go
# to ctest (-R win32: the desktop's tests only). Ends with ctest's closing line.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_WINDOWS:-build-windows}
export BUILD_WINDOWS=$build
jobs=$(scripts/jobs.sh)
scripts/build-windows.sh

# Wine: its own 64-bit prefix; no debug chatter (it would also say that wine32 is missing, which
# nothing here needs); no Mono or Gecko prompts; no menu entries written to the host's desktop
# by winemenubuilder; UTF-8, so that paths beyond ASCII reach the programs intact.
export WINEPREFIX=$PWD/$build/wine WINEARCH=win64 WINEDEBUG=-all LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
log=$build/wine.log
: > "$log"

# A private X display, at the first free number from 100 on. Wine must never start without
# one: its desktop process would then refuse windows to every program for a while.
xvfb=
for number in $(seq 100 199); do
  [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
  Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >>"$log" 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  if [ -e "/tmp/.X11-unix/X$number" ] && kill -0 "$xvfb" 2>/dev/null; then break; fi
  xvfb=
done
[ -n "$xvfb" ] || { echo "test-windows: could not start Xvfb on any display from :100 to :199" >&2; exit 1; }
export DISPLAY=:$number
finish() {
  exec 8>&- 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap finish EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-windows: making the Wine prefix $WINEPREFIX (its output: $log)"
  wineboot -i >>"$log" 2>&1
  wineserver -w
  # Without a window manager Wine waits for one on every closed window; it manages its own.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$log" 2>&1
  wineserver -w
fi
# One server for the whole run, with its services started away from ctest's output pipes:
# a service started by the first test would hold that test's pipe open until ctest gives up.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
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
