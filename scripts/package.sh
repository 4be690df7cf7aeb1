#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing for building and packaging, builds, and makes the package in $BUILD
# (a .deb on Debian and Ubuntu, whose dependencies dpkg-shlibdeps lists); ends with the command
# that installs it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
scripts/install-deps.sh package
scripts/build.sh
made=$(cd "$build" && cpack) || { echo "$made"; exit 1; }
echo "$made"
package=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<<"$made" | tail -n 1)
case "$package" in
  *.deb) echo "Install it with: sudo apt install $package" ;;
  ?*) echo "Made $package" ;;
esac
