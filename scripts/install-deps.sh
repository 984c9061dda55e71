#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, test and run Tidepost
# (clang and its runtime libraries build the fuzz targets; Xvfb runs the start-up
# benchmark on an X server).
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config libcurl4-openssl-dev
          libgtest-dev libgmock-dev libcpp-httplib-dev libbenchmark-dev libxml2-utils libxml2-dev curl time
          qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-webengine-dev libgl-dev fonts-dejavu-core
          desktop-file-utils appstream man-db dpkg-dev clang libclang-rt-dev xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi
