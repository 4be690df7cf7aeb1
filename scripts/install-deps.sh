#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that are missing for building (and, with "test", for testing).
# Usage: scripts/install-deps.sh [build|test]
set -euo pipefail

build_packages=(cmake make g++ qt6-base-dev libgl-dev fonts-liberation libxcb1-dev)
test_packages=(xvfb xauth openbox xdotool xclip x11-utils imagemagick dbus dbus-x11 xfce4-settings
               python3 python3-xlib desktop-file-utils appstream dpkg-dev)

packages=("${build_packages[@]}")
[ "${1:-build}" = test ] && packages+=("${test_packages[@]}")

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
