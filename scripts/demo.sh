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

# Settings: the weather and movies topics (the other topics come later), and every web
# address pointed at the provider.
{
  printf '[Settings]\nStopOnError=1\nDeleteXml=1\nSaveOnExit=0\nIntelliSynch=0\nAutoExit=0\n'
  printf '[Weather]\nDownload=1\nZIP=%s\nCityCode=%s\nForecastUSA=5\nForecastEuro=5\nLanguage=%s\n' \
    "10001,60601,94103" "$cities" "$language"
  # Films: the French list with the French forecasts, else the English one.
  printf '[Movies]\nDownload=1\nMaxMovies=10\nLangMovies=%s\n' "$([ "$language" = 1 ] && echo 1 || echo 0)"
  printf '[Astro]\nDownload=1\nSigns=Aries,Leo,Libra\n[Email]\nDownload=1\n'
  printf '[Customization]\n'
  ./build/tidepost-sample-provider --customization "$port"
} >"$demo/cfg/Tidepost.ini"

status=0
TIDEPOST_HOME="$demo" ./build/tidepost-batch || status=$?

echo
echo "Pages written to $demo/xml/:"
ls -l "$demo/xml/"
if [ -f "$demo/xml/weather.xml" ]; then
  echo
  echo "== $demo/xml/weather.xml =="
  # Pages are Windows Latin-1 text with CR LF line ends.
  tr -d '\r' <"$demo/xml/weather.xml" | iconv -f WINDOWS-1252 -t UTF-8
fi
if [ -f "$demo/xml/movies.xml" ]; then
  echo
  echo "== $demo/xml/movies.xml =="
  tr -d '\r' <"$demo/xml/movies.xml" | iconv -f WINDOWS-1252 -t UTF-8
fi
for page in astro email; do
  [ -f "$demo/xml/$page.xml" ] || continue
  echo
  echo "== $demo/xml/$page.xml =="
  tr -d '\r' <"$demo/xml/$page.xml" | iconv -f WINDOWS-1252 -t UTF-8
done
exit "$status"
