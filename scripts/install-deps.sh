#!/usr/bin/env bash
# Installs the Debian 12 packages of one set:
#   run   what building and running MendoAI need (scripts/run.sh)
#   test  the run set and what the test suite and the benchmarks need besides
#         (scripts/test.sh)
# Does nothing (and needs no network) when all of them are already there.
set -euo pipefail

# The build: every find_package and pkg_check_modules of CMakeLists.txt (the
# -dev packages bring the runtime libraries with them; libqt6gui6 holds Qt's
# xcb platform plugin). Running: the SVG icon engine and the icon theme of the
# symbols, the accessibility bus and its registry, a D-Bus session bus where
# the desktop starts none (dbus-x11), and a font.
run_packages=(
  cmake ninja-build g++ pkgconf
  qt6-base-dev qcoro-qt6-dev libicu-dev libcld2-dev
  libx11-dev libx11-xcb-dev libxtst-dev libxi-dev libxrandr-dev libxfixes-dev libxkbfile-dev libxkbcommon-x11-dev
  libatspi2.0-dev
  libqt6svg6 adwaita-icon-theme at-spi2-core dbus dbus-x11 fonts-dejavu-core
)

# The private X sessions (Xvfb or Xorg with the dummy driver, openbox, a tray
# host, a compositor, gdbus to switch the accessibility bus on), the other
# applications and tools the tests drive, the desktop entry validator, Google
# Benchmark, and the developer's command-line tools.
test_packages=(
  git python3 procps libglib2.0-bin
  xvfb xauth openbox xdotool xclip x11-utils x11-xkb-utils x11-xserver-utils trayer xcompmgr
  xserver-xorg-core xserver-xorg-video-dummy
  zenity xterm chromium desktop-file-utils libbenchmark-dev
)

case "${1:-}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
