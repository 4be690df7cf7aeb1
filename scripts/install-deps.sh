#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that are missing for building, and with "test", "bench" or "fuzz"
# those for testing, for the benchmark report (bench/report.sh) or for fuzzing (fuzz/run.sh).
# Usage: scripts/install-deps.sh [build|test|bench|fuzz]
set -euo pipefail

build_packages=(cmake make g++ qt6-base-dev qt6-qpa-plugins libgl-dev fonts-liberation libxcb1-dev)
test_packages=(xvfb xauth openbox xdotool xclip x11-utils imagemagick dbus dbus-x11 xfce4-settings parcellite
               python3 python3-xlib desktop-file-utils appstream dpkg-dev file at-spi2-core gir1.2-atspi-2.0 python3-gi)

bench_packages=(gnuplot-nox coreutils xvfb xauth openbox python3 python3-xlib)
fuzz_packages=(clang-14 libclang-rt-14-dev)

packages=("${build_packages[@]}")
case "${1:-build}" in
  build) ;;
  test) packages+=("${test_packages[@]}") ;;
  bench) packages+=("${bench_packages[@]}") ;;
  fuzz) packages+=("${fuzz_packages[@]}") ;;
  *) echo "usage: $0 [build|test|bench|fuzz]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
