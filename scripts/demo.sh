#!/usr/bin/env bash
# Builds Tidepost and runs a download against the bundled sample provider.
#   bash scripts/demo.sh [LANGUAGE]   LANGUAGE of the European forecasts: 0 English
#                                     (default), 1 French, 2 German, 3 Italian, 4 Spanish
set -euo pipefail
cd "$(dirname "$0")/.."
language="${1:-0}"
case "$language" in
  0) cities="UKXX/UKXX0085,FRXX/FRXX0076,GMXX/GMXX0007" ;;
  1) cities="FRXX/FRXX0076,BEXX/BEXX0005" ;;
  2) cities="GMXX/GMXX0007,AUXX/AUXX0025" ;;
  3) cities="ITXX/ITXX0067,SZXX/SZXX0033" ;;
  4) cities="SPXX/SPXX0050,FRXX/FRXX0076" ;;
  *) echo "usage: bash scripts/demo.sh [0|1|2|3|4]" >&2; exit 64 ;;
esac

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tidepost-batch tidepost-sample-provider \
  tidepost_data_cfg tidepost_data_doc
./build/tidepost-batch --version

# A data folder of its own, so the demo never touches the settings beside the program.
demo="$PWD/build/demo"
rm -rf "$demo"
mkdir -p "$demo/cfg"
cp build/cfg/* "$demo/cfg/"
# Memos and saved messages for the e-mail page.
mkdir -p "$demo/emails"
cp scripts/demo_emails/* "$demo/emails/"

# The provider prints its port once it listens.
./build/tidepost-sample-provider 0 >"$demo/provider.port" 2>"$demo/provider.log" &
provider=$!
trap 'kill "$provider" 2>/dev/null || true; wait "$provider" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -s "$demo/provider.port" ] && break
  kill -0 "$provider" 2>/dev/null || { cat "$demo/provider.log" >&2; exit 1; }
  sleep 0.1
done
port="$(head -n 1 "$demo/provider.port")"
echo "Sample provider listening on http://127.0.0.1:$port/"

# Settings: every topic, and every web address pointed at the provider.
{
  printf '[Settings]\nStopOnError=1\nDeleteXml=1\nSaveOnExit=0\nIntelliSynch=0\nAutoExit=0\n'
  printf '[Weather]\nDownload=1\nZIP=%s\nCityCode=%s\nForecastUSA=5\nForecastEuro=5\nLanguage=%s\n' \
    "10001,60601,94103" "$cities" "$language"
  # Films: the French list with the French forecasts, else the English one.
  printf '[Movies]\nDownload=1\nMaxMovies=10\nLangMovies=%s\n' "$([ "$language" = 1 ] && echo 1 || echo 0)"
  printf '[Stocks]\nDownload=1\nXRate=%s\nSymbols=%s\nXRateDays=10\nOldEuroSymb=FRF\nOldEuroRate=6.55957\n' \
    "USD/EUR,EUR/USD,GBP/USD,USD/JPY,EUR/CHF" "IBM,MSFT,ORCL,CSCO"
  # News: all three categories, in French with the French forecasts.
  news_lang=$([ "$language" = 1 ] && echo 1 || echo 0)
  printf '[News]\nDownload=1\nNbNews=5\nNewsWorldUS=1\nNewsTechUS=1\nNewsSportUS=1\n'
  printf 'NewsWorldLang=%s\nNewsTechLang=%s\nNewsSportLang=%s\n' "$news_lang" "$news_lang" "$news_lang"
  # Directions: one itinerary per recorded route of the provider.
  printf '[Directions]\nDownload=1\n'
  printf 'Itinary1=Office to campus\nCountry1=0\nFromAddress1=1 Market St\nFromCity1=San Francisco, CA\nToAddress1=1 Infinite Loop\nToCity1=Cupertino, CA\n'
  printf 'Itinary2=Empire State to Penn\nCountry2=0\nFromAddress2=350 5th Ave\nFromCity2=New York, NY\nToAddress2=1 Penn Plz\nToCity2=New York, NY\n'
  printf 'Itinary3=Vacances au soleil\nCountry3=1\nFromAddress3=12 rue de Rivoli\nFromCity3=75001 Paris\nToAddress3=1 place de la Com\351die\nToCity3=34000 Montpellier\n'
  printf '[Astro]\nDownload=1\nSigns=Aries,Leo,Libra\n[Email]\nDownload=1\n'
  printf '[Customization]\n'
  ./build/tidepost-sample-provider --customization "$port"
} >"$demo/cfg/Tidepost.ini"

status=0
TIDEPOST_HOME="$demo" ./build/tidepost-batch || status=$?

echo
echo "Pages written to $demo/xml/:"
ls -l "$demo/xml/"
# Pages are Windows Latin-1 text with CR LF line ends.
for page in "$demo"/xml/*.xml; do
  [ -f "$page" ] || continue
  echo
  echo "== $page =="
  tr -d '\r' <"$page" | iconv -f WINDOWS-1252 -t UTF-8
done
# News from feeds: the provider's RSS 2.0, RSS 1.0 and Atom feeds as the three
# news sources, converted in-process, in a data folder of their own (the pages
# above stay as they are).
feeds="$PWD/build/demo-feeds"
rm -rf "$feeds"
mkdir -p "$feeds/cfg"
cp build/cfg/* "$feeds/cfg/"
feed_address() {
  printf 'http://localhost/cgi-bin/html2txt?url=http%%3A%%2F%%2F127.0.0.1%%3A%s%%2Ffeeds%%2F%s&noinlinerefs=on' "$port" "$1"
}
{
  printf '[Settings]\nStopOnError=1\nDeleteXml=1\nSaveOnExit=0\nIntelliSynch=0\nAutoExit=0\nLocalConversion=1\n'
  printf '[News]\nDownload=1\nNbNews=3\nNewsWorldUS=1\nNewsTechUS=1\nNewsSportUS=1\n'
  printf 'NewsWorldLang=0\nNewsTechLang=0\nNewsSportLang=0\n'
  printf '[Customization]\n'
  printf 'String106=%s\nString107=%s\nString108=%s\n' \
    "$(feed_address world_rss2.xml)" "$(feed_address tech_rss1.xml)" "$(feed_address sport_atom.xml)"
  printf 'String111=News feed headlines\nString112=News feed headlines\nString113=News feed headlines\n'
} >"$feeds/cfg/Tidepost.ini"
echo
echo "== The Atom feed as the news topic reads it =="
TIDEPOST_HOME="$feeds" ./build/tidepost-batch --show-text "$(feed_address sport_atom.xml)" | iconv -f WINDOWS-1252 -t UTF-8
TIDEPOST_HOME="$feeds" ./build/tidepost-batch || status=$?
echo
echo "== $feeds/xml/news.xml (from the three feeds) =="
tr -d '\r' <"$feeds/xml/news.xml" | iconv -f WINDOWS-1252 -t UTF-8
exit "$status"
