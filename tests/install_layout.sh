#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that the executables
# find their installation data beside them.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
home="$prefix/lib/tidepost"
for file in tidepost-batch tidepost-sample-provider tidepost-html2txt cfg/weather.xmt cfg/email.txt cfg/citycode.ini doc/help.htm; do
  [ -e "$home/$file" ] || { echo "missing after install: $file" >&2; exit 1; }
done
version="$(env -u TIDEPOST_HOME "$home/tidepost-batch" --version)"
[ "$version" = "Tidepost Version 1.5" ] || { echo "unexpected version: $version" >&2; exit 1; }
echo "install layout ok"
