#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and starts Lexitrove with the bundled word list.
set -euo pipefail
cd "$(dirname "$0")/.."
# Where no window can open, say so before minutes of installing and building.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "scripts/run.sh: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are unset): run it" \
       "in a desktop session, or on a virtual display with: xvfb-run scripts/run.sh" \
       "(sudo apt-get install xvfb xauth installs xvfb-run)" >&2
  exit 1
fi
# A Wayland session without an X server (Xwayland) needs Qt's Wayland platform plugin.
extra=()
if [ -n "${WAYLAND_DISPLAY:-}" ] && [ -z "${DISPLAY:-}" ]; then extra=(qt6-wayland); fi
scripts/install-deps.sh build "${extra[@]}"
scripts/build.sh
exec "./${BUILD:-build}/lexitrove"
