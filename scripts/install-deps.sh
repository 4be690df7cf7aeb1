#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that are missing for building, and with "test", "package",
# "bench" or "fuzz" those for testing, for making the .deb (scripts/package.sh), for the
# benchmark report (bench/report.sh) or for fuzzing (fuzz/run.sh); with "windows" those for
# building the Windows program and its installer and testing them under Wine
# (scripts/build-windows.sh, scripts/test-windows.sh), instead of the Linux build's.
# PACKAGE names add more. Prints one line per step and keeps apt's own output in
# $BUILD/install-deps.log.
# Usage: scripts/install-deps.sh [build|test|package|bench|fuzz|windows] [PACKAGE...]
set -euo pipefail
cd "$(dirname "$0")/.."

# fonts-dejavu-core is the menu bar's and the message boxes' face; the phrase box asks for
# Courier New, whose metric twin is Liberation Mono.
# libgtest-dev: the logic's tests, which every build makes unless -DBUILD_TESTING=OFF.
build_packages=(cmake make g++ libgtest-dev qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core
                fonts-liberation libxcb1-dev)
# openbox is the window manager of the tests' private X displays; xfce4-settings (xfsettingsd)
# and diodon are the clipboard managers of the clipboard test (Debian 13 has no parcellite).
test_packages=(xvfb xauth openbox xdotool xclip x11-utils imagemagick dbus dbus-x11 xfce4-settings diodon
               python3 python3-xlib desktop-file-utils appstream dpkg-dev file lintian at-spi2-core gir1.2-atspi-2.0 python3-gi)
# The tests on real Wayland compositors (tests/wayland/): sway and mutter started headless, Qt's
# Wayland plugin, Xwayland, and the tools that type and read the clipboard there.
test_packages+=(sway wtype wl-clipboard mutter xwayland qt6-wayland)
package_packages=(dpkg-dev file)
bench_packages=(gnuplot-nox coreutils xvfb xauth openbox python3 python3-xlib)
# The release's own clang (14 on Debian 12, 19 on Debian 13); the fuzz targets run the logic
# against the test double, which reports through GoogleTest.
fuzz_packages=(clang libclang-rt-dev libgtest-dev)
# The posix flavour of mingw-w64 (the win32 one has no std::thread on GCC 12); googletest's
# sources, built for Windows; the 64-bit Wine (the installer is a 64-bit one, so no wine32) with
# its own fonts for menus and message boxes, and Liberation Mono for Courier New; NSIS; a private
# X display for Wine and xclip to read its clipboard from the X side.
windows_packages=(cmake make g++-mingw-w64-x86-64-posix googletest wine wine64 fonts-wine fonts-liberation nsis
                  xvfb xclip)

set_name=${1:-build}
packages=("${build_packages[@]}")
case "$set_name" in
  build) ;;
  test) packages+=("${test_packages[@]}") ;;
  package) packages+=("${package_packages[@]}") ;;
  bench) packages+=("${bench_packages[@]}") ;;
  fuzz) packages+=("${fuzz_packages[@]}") ;;
  windows) packages=("${windows_packages[@]}") ;;
  *) echo "usage: $0 [build|test|package|bench|fuzz|windows] [PACKAGE...]" >&2; exit 2 ;;
esac
packages+=("${@:2}")

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

say() { echo "install-deps: $*"; }
apt_command="apt-get install -y --no-install-recommends ${missing[*]}"
cannot_install() {
  say "${#missing[@]} packages are missing for $set_name: ${missing[*]}" >&2
  say "$1; as root (for example after \"su -\"), run:" >&2
  echo "    apt-get update && $apt_command" >&2
  say "then run this command again." >&2
  exit 1
}

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || cannot_install "you are not root and sudo is not installed"
  sudo=(sudo)
  # Asks for the password here, on the terminal, rather than amid apt's output in the log.
  sudo -v || cannot_install "sudo did not let you run commands as root"
fi

log=${BUILD:-build}/install-deps.log
mkdir -p "$(dirname "$log")"
echo "=== $(date -u '+%F %T UTC') install-deps.sh $set_name: ${missing[*]}" >>"$log"
step() {
  local what=$1
  shift
  printf 'install-deps: %s ... ' "$what"
  if "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive "$@" >>"$log" 2>&1; then
    echo "done"
  else
    local status=$?
    echo "failed (status $status); the end of $log:"
    tail -n 25 "$log" | sed 's/^/    /'
    exit "$status"
  fi
}

# Desktop packages such as openbox register as the system's window or session manager where
# nothing of a higher priority is there: say so, rather than change it without a word.
alternatives=(x-window-manager x-session-manager)
before=()
for name in "${alternatives[@]}"; do before+=("$(readlink -e "/etc/alternatives/$name" || true)"); done

say "${#missing[@]} packages to install for $set_name: ${missing[*]}"
step "updating the package lists (apt-get update)" apt-get update
step "installing them with apt-get (its output: $log)" \
  apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"

for i in "${!alternatives[@]}"; do
  name=${alternatives[$i]}
  after=$(readlink -e "/etc/alternatives/$name" || true)
  if [ "$after" != "${before[$i]}" ]; then
    say "note: the system's $name is now $after (before: ${before[$i]:-none});" \
        "sudo update-alternatives --config $name chooses another"
  fi
done
