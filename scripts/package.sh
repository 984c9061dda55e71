#!/usr/bin/env bash
# Builds the Debian package, installs it with apt, checks that the installed
# tidepost-batch runs, then removes the package again. Needs root (or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTIDEPOST_BENCHMARKS=OFF >/dev/null
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack -G DEB >/dev/null)
deb="$(ls "$PWD"/build-package/tidepost_*.deb)"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
dpkg-deb --field "$deb" Depends
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "$deb" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y tidepost >/dev/null' EXIT
/usr/bin/tidepost-batch --version
/usr/bin/tidepost --version
echo "package ok: $deb"
