#!/usr/bin/env bash
# Installs every Debian package KOLVANE needs to build, test and run.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev libssl-dev
  qt6-base-dev libgl1-mesa-dev libxkbcommon-dev
  python3-numpy xvfb xauth time locales xdotool imagemagick openbox x11-utils
  clang libclang-rt-14-dev
  dpkg-dev man-db parallel
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep "install ok installed" >/dev/null || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi
# A locale with comma decimals, so that the tests can show that file numbers keep the full stop.
if ! locale -a 2>/dev/null | grep -i '^de_DE\.utf-\?8$' >/dev/null; then
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "Could not build the de_DE.UTF-8 locale; its test will be skipped."
fi
