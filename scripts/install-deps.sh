#!/usr/bin/env bash
# Installs every Debian 12 package MendoAI needs to build, run and test.
# Does nothing (and needs no network) when all of them are already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkgconf git
  qt6-base-dev qt6-qpa-plugins qcoro-qt6-dev libicu-dev
  libcld2-dev
  libx11-dev libx11-xcb-dev libxtst-dev libxi-dev libxrandr-dev libxfixes-dev libxkbfile-dev libxkbcommon-x11-dev
  libatspi2.0-dev at-spi2-core libglib2.0-bin dbus-x11 dbus
  xvfb xauth openbox xdotool xclip x11-utils x11-xkb-utils x11-xserver-utils fonts-dejavu-core trayer
  zenity xterm libbenchmark-dev python3 procps chromium
  adwaita-icon-theme libqt6svg6 xcompmgr
  xserver-xorg-core xserver-xorg-video-dummy
)

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
