#!/usr/bin/env bash
# Draws the main window offscreen into docs/main-window.png (and a 200 % copy
# into docs/main-window@2x.png), with the sample settings of a typical user, and
# the customization and web address dialogs beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tidepost_window_shot tidepost_customization_shot tidepost_data_cfg

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/cfg"
cp build/cfg/* "$home/cfg/"
printf '%s\r\n' '[Weather]' 'Download=1' 'ZIP=10001,94103' 'CityCode=UKXX/UKXX0085,FRXX/FRXX0076' \
  'ForecastUSA=5' 'ForecastEuro=3' '[News]' 'Download=1' 'NbNews=5' 'NewsWorldUS=1' 'NewsTechUS=1' \
  '[Stocks]' 'Download=1' 'Symbols=IBM,MSFT' 'XRate=USD/EUR,GBP/USD' '[Movies]' 'Download=0' \
  >"$home/cfg/Tidepost.ini"
mkdir -p docs
TIDEPOST_HOME="$home" build/tests/tidepost_window_shot docs/main-window.png
TIDEPOST_HOME="$home" build/tests/tidepost_window_shot docs/main-window@2x.png 2
TIDEPOST_HOME="$home" build/tests/tidepost_customization_shot docs
TIDEPOST_HOME="$home" build/tests/tidepost_customization_shot docs 2
echo "written: docs/main-window.png docs/main-window@2x.png docs/customization-dialog.png"\
  "docs/web-address-dialog.png (and their @2x copies)"
