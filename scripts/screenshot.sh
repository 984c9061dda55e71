#!/usr/bin/env bash
# Draws the main window offscreen into docs/main-window.png (and a 200 % copy
# into docs/main-window@2x.png), with the sample settings of a typical user; the
# customization and web address dialogs, the source workbench (over a page of
# the sample provider), the link browser, the about box, the more-downloads and
# general settings dialogs beside it, each also at 200 %.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tidepost_window_shot tidepost_customization_shot \
  tidepost_dialog_shot tidepost_page_view tidepost_data_cfg tidepost_data_doc

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/cfg" "$home/doc"
cp build/cfg/* "$home/cfg/"
cp build/doc/* "$home/doc/"
printf '%s\r\n' '[Weather]' 'Download=1' 'ZIP=10001,94103' 'CityCode=UKXX/UKXX0085,FRXX/FRXX0076' \
  'ForecastUSA=5' 'ForecastEuro=3' '[News]' 'Download=1' 'NbNews=5' 'NewsWorldUS=1' 'NewsTechUS=1' \
  '[Stocks]' 'Download=1' 'Symbols=IBM,MSFT' 'XRate=USD/EUR,GBP/USD' '[Movies]' 'Download=0' \
  >"$home/cfg/Tidepost.ini"
mkdir -p docs
TIDEPOST_HOME="$home" build/tests/tidepost_window_shot docs/main-window.png
TIDEPOST_HOME="$home" build/tests/tidepost_window_shot docs/main-window@2x.png 2
TIDEPOST_HOME="$home" build/tests/tidepost_customization_shot docs
TIDEPOST_HOME="$home" build/tests/tidepost_customization_shot docs 2
TIDEPOST_HOME="$home" build/tests/tidepost_window_shot docs/link-browser.png 1 links
TIDEPOST_HOME="$home" build/tests/tidepost_window_shot docs/link-browser@2x.png 2 links
TIDEPOST_HOME="$home" build/tests/tidepost_window_shot docs/about-box.png 1 about
TIDEPOST_HOME="$home" build/tests/tidepost_window_shot docs/about-box@2x.png 2 about

# The further topics: two itineraries, two signs, two memos; debug buttons shown.
printf '%s\r\n' '[Debug]' 'On=1' '[Directions]' 'Download=1' 'Itinary1=Home to work' 'Country1=0' \
  'FromAddress1=1 Main St' 'FromCity1=san jose, ca' 'ToAddress1=2 Oak Rd' 'ToCity1=95118' 'Itinary2=Gym' \
  'Country2=0' 'FromAddress2=2 Oak Rd' 'FromCity2=95118' 'ToAddress2=10 Elm St' 'ToCity2=95120' \
  '[Astro]' 'Download=1' 'Signs=Leo,Aries' '[Email]' 'Download=0' >>"$home/cfg/Tidepost.ini"
mkdir -p "$home/emails"
printf 'Call the plumber\r\n' >"$home/emails/memo.txt"
printf 'Subject: Dinner\r\n\r\nAt eight.\r\n' >"$home/emails/dinner.eml"
TIDEPOST_HOME="$home" build/tests/tidepost_dialog_shot more-downloads docs/more-downloads.png
TIDEPOST_HOME="$home" build/tests/tidepost_dialog_shot more-downloads docs/more-downloads@2x.png 2
TIDEPOST_HOME="$home" build/tests/tidepost_dialog_shot general-settings docs/general-settings.png
TIDEPOST_HOME="$home" build/tests/tidepost_dialog_shot general-settings docs/general-settings@2x.png 2
echo "written: docs/main-window.png docs/customization-dialog.png docs/web-address-dialog.png"\
  "docs/source-workbench.png docs/link-browser.png docs/about-box.png docs/more-downloads.png docs/general-settings.png"\
  "(and an @2x copy of each)"
