#!/usr/bin/env bash
# Installs the Debian packages Velmora needs to build, test and run.
# Only missing packages are installed; apt-get runs through sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev
  libmspack-dev fp-utils
  libsqlite3-dev libicu-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-translations-l10n
  fonts-noto-cjk xvfb xauth imagemagick x11-utils xdotool
  p7zip-full libchm-bin time util-linux strace zip unzip
  lintian desktop-file-utils appstream dpkg-dev
  clang-14 libclang-rt-14-dev lld
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
