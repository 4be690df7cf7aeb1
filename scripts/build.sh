#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds into $BUILD (default: build), with $CMAKE_FLAGS added to the configure
# step. Used by scripts/run.sh and scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
jobs=$(scripts/jobs.sh)
# shellcheck disable=SC2086 # CMAKE_FLAGS is a list of flags
cmake -S . -B "$build" ${CMAKE_FLAGS:-}
cmake --build "$build" -j"$jobs"
