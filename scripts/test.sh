#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs every test; ends with ctest's closing line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
scripts/build.sh
ctest --test-dir "${BUILD:-build}" --output-on-failure -j"$(scripts/jobs.sh)"
