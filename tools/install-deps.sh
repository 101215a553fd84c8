#!/usr/bin/env bash
# Installs the Debian packages that Bravel needs to build, test, run, pack and check, but only
# those that are missing; the package lists are refreshed first when anything is to be installed.
# Qt loads the SQLite driver, the SVG icon reader and its German texts at run time; the tests ask
# GIO (gio, libglib2.0-bin) and shared-mime-info what a desktop makes of the installed files;
# `make package` wants dpkg-shlibdeps (dpkg-dev); tools/check-package.sh checks the package with
# lintian, the AppStream file with appstreamcli and the manual page with man; tools/check-format.sh
# runs clang-format.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6sql6-sqlite libqt6svg6 qt6-translations-l10n libsqlite3-dev libxxhash-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth x11-apps imagemagick
  rsync time sqlite3 desktop-file-utils shared-mime-info xdg-utils libglib2.0-bin
  dpkg-dev lintian appstream man-db
  clang libclang-rt-14-dev clang-format util-linux mount tzdata
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
