#!/usr/bin/env bash
# Installs the Debian packages that Bravel needs to build, test and run, but only those that
# are missing; the package lists are refreshed first when anything is to be installed.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6sql6-sqlite libqt6svg6 libsqlite3-dev libxxhash-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth x11-apps imagemagick
  rsync sqlite3 desktop-file-utils shared-mime-info xdg-utils
  clang libclang-rt-14-dev util-linux tzdata
  dbus-daemon dbus-session-bus-common
)
[ $# -gt 0 ] && packages+=("$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
