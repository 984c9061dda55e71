#!/usr/bin/env bash
# A heavy download run against the sample provider, timed against curl fetching
# the same request targets one after another in one process.
#
#   bash bench/run_vs_curl.sh [BUILD] [--delay-ms D] [--rounds R] [--max-fetches N] [--keep]
#
# BUILD (default "build") holds tidepost-batch, tidepost-sample-provider, cfg/
# and sample-pages/. The provider answers every request after D milliseconds
# (default 0). The run takes every topic at its limits: 10 weather codes, the 3
# news categories, the films, 50 exchange-rate and quote cards (20 rate pairs
# and 30 symbols), 20 itineraries, the 12 signs and the e-mail page.
#
# One run first learns the request targets from the provider's log. Then, R
# times (default 5) in turn: tidepost-batch with the default number of fetches
# at once, tidepost-batch with MaxFetches=N in [Settings] (default 1: one at a
# time), and curl. Prints the median wall time of each, the ratios to curl and
# the peak memory of the runs (/usr/bin/time -f %M). Every run must exit 0 and
# write every page, and curl must get status 200 for every target; otherwise
# the script stops with exit status 1 and prints no figure. --keep leaves the
# temporary folder (data folders, pages, request log, last outputs) in place.
set -euo pipefail

fail() {
  echo "run_vs_curl: $*" >&2
  exit 1
}

build=build
delay=0
rounds=5
max_fetches=1
keep=""
while (($#)); do
  case "$1" in
    --delay-ms) delay="${2:?}"; shift 2 ;;
    --rounds) rounds="${2:?}"; shift 2 ;;
    --max-fetches) max_fetches="${2:?}"; shift 2 ;;
    --keep) keep=1; shift ;;
    -h | --help) awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; exit 0 ;;
    -*) fail "unknown option $1 (see --help)" ;;
    *) build="$1"; shift ;;
  esac
done
[[ "$delay" =~ ^[0-9]+$ ]] || fail "--delay-ms wants a number of milliseconds, not '$delay'"
[[ "$rounds" =~ ^[1-9][0-9]*$ ]] || fail "--rounds wants a positive number, not '$rounds'"
[[ "$max_fetches" =~ ^[1-9][0-9]*$ ]] || fail "--max-fetches wants a positive number, not '$max_fetches'"

[ -d "$build" ] || fail "no build folder $build"
build="$(cd "$build" && pwd)"
batch="$build/tidepost-batch"
provider="$build/tidepost-sample-provider"
for needed in "$batch" "$provider" "$build/cfg/weather.xmt" "$build/sample-pages/routes.txt"; do
  [ -e "$needed" ] || fail "$needed is missing; build it first:
  cmake --build $build --target tidepost-batch tidepost-sample-provider tidepost_data_cfg"
done
for tool in curl /usr/bin/time; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash scripts/install-deps.sh installs it)"
done
source_dir="$(cd "$(dirname "$0")/.." && pwd)"

work="$(mktemp -d)"
provider_pid=""
cleanup() {
  if [ -n "$provider_pid" ]; then
    kill "$provider_pid" 2>/dev/null || true
    wait "$provider_pid" 2>/dev/null || true
  fi
  if [ -n "$keep" ]; then
    echo "run_vs_curl: kept $work" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

# ---- The recorded pages, with copies for the codes that have none of their own.
pages="$work/pages"
cp -r "$build/sample-pages" "$pages"
# copy_page FROM TO: a page for one more code, as the provider's route names it.
copy_page() {
  [ -e "$pages/$2" ] || cp "$pages/$1" "$pages/$2"
}

zips=(10001 60601 94103 02108 20001)
cities=(UKXX/UKXX0085 FRXX/FRXX0076 GMXX/GMXX0007 ITXX/ITXX0067 SPXX/SPXX0050)
for zip in "${zips[@]}"; do copy_page weather/us/10001.txt "weather/us/$zip.txt"; done
for city in "${cities[@]}"; do copy_page weather/en/UKXX_UKXX0085.txt "weather/en/${city/\//_}.txt"; done

currencies=(USD EUR GBP JPY CHF)
pairs=()
for first in "${currencies[@]}"; do
  for second in "${currencies[@]}"; do
    [ "$first" != "$second" ] && pairs+=("$first/$second")
  done
done
((${#pairs[@]} == 20)) || fail "expected 20 rate pairs, made ${#pairs[@]}"
for pair in "${pairs[@]}"; do copy_page rates/USD_EUR.html "rates/${pair/\//_}.html"; done

symbols=(IBM MSFT ORCL CSCO)
for i in $(seq 1 26); do symbols+=("$(printf 'TP%02d' "$i")"); done
for symbol in "${symbols[@]}"; do copy_page quotes/IBM.txt "quotes/$symbol.txt"; done

itineraries=20
for i in $(seq 1 "$itineraries"); do
  copy_page "directions/us/1+Market+St_San+Francisco,+CA_1+Infinite+Loop_Cupertino,+CA.txt" \
    "directions/us/${i}+Market+St_San+Francisco,+CA_1+Infinite+Loop_Cupertino,+CA.txt"
done
signs=(Aquarius Pisces Aries Taurus Gemini Cancer Leo Virgo Libra Scorpio Sagittarius Capricorn)
# Fetches of a run: weather, news, films, rates and quotes, routes, signs.
expected_requests=$((${#zips[@]} + ${#cities[@]} + 3 + 1 + ${#pairs[@]} + ${#symbols[@]} + itineraries + ${#signs[@]}))

# ---- The provider, printing its port once it listens.
"$provider" --pages "$pages" --delay-ms "$delay" --log "$work/requests.log" 0 \
  >"$work/provider.port" 2>"$work/provider.err" &
provider_pid=$!
for _ in $(seq 100); do
  [ -s "$work/provider.port" ] && break
  kill -0 "$provider_pid" 2>/dev/null || fail "the provider did not start: $(cat "$work/provider.err")"
  sleep 0.1
done
port="$(head -n 1 "$work/provider.port")"
[[ "$port" =~ ^[0-9]+$ ]] || fail "the provider printed no port"

# ---- Two data folders, the same but for MaxFetches.
join() {
  local IFS=,
  echo "$*"
}
write_settings() {
  printf '[Settings]\nStopOnError=1\nDeleteXml=1\nSaveOnExit=0\nIntelliSynch=0\nAutoExit=0\n'
  [ -z "$1" ] || printf 'MaxFetches=%s\n' "$1"
  printf '[Weather]\nDownload=1\nZIP=%s\nCityCode=%s\nForecastUSA=5\nForecastEuro=5\nLanguage=0\n' \
    "$(join "${zips[@]}")" "$(join "${cities[@]}")"
  printf '[Movies]\nDownload=1\nMaxMovies=10\nLangMovies=0\n'
  printf '[Stocks]\nDownload=1\nXRate=%s\nSymbols=%s\nXRateDays=10\nOldEuroSymb=FRF\nOldEuroRate=6.55957\n' \
    "$(join "${pairs[@]}")" "$(join "${symbols[@]}")"
  printf '[News]\nDownload=1\nNbNews=10\nNewsWorldUS=1\nNewsTechUS=1\nNewsSportUS=1\n'
  printf 'NewsWorldLang=0\nNewsTechLang=0\nNewsSportLang=0\n'
  printf '[Directions]\nDownload=1\n'
  for i in $(seq 1 "$itineraries"); do
    printf 'Itinary%d=Route %d\nCountry%d=0\nFromAddress%d=%d Market St\nFromCity%d=San Francisco, CA\n' \
      "$i" "$i" "$i" "$i" "$i" "$i"
    printf 'ToAddress%d=1 Infinite Loop\nToCity%d=Cupertino, CA\n' "$i" "$i"
  done
  printf '[Astro]\nDownload=1\nSigns=%s\n[Email]\nDownload=1\n' "$(join "${signs[@]}")"
  printf '[Customization]\n'
  "$provider" --customization "$port"
}
make_home() {
  local home="$work/$1"
  mkdir -p "$home/cfg" "$home/emails"
  cp "$build"/cfg/* "$home/cfg/"
  cp "$source_dir"/scripts/demo_emails/* "$home/emails/"
  write_settings "$2" >"$home/cfg/Tidepost.ini"
}
make_home home-default ""
make_home home-limited "$max_fetches"
# A settings file written moments ago is read afresh at every look-up (its
# timestamps could hide a further change); a user's file is older than that.
sleep 3

# Nanoseconds since the epoch.
now() { date +%s%N; }
logged() { wc -l <"$work/requests.log"; }
# check_requests WHO BEFORE: WHO asked for every target once since BEFORE lines were logged.
check_requests() {
  local made=$(($(logged) - $2))
  ((made == expected_requests)) || fail "$1 made $made requests, expected $expected_requests"
}

# record WHO NANOSECONDS: the wall time (µs), the peak memory (KB) and the
# processor time (user + system, ms) of WHO's last run.
record() {
  echo $(($2 / 1000)) >>"$work/times-$1"
  local memory user system
  read -r memory user system <"$work/memory"
  echo "$memory" >>"$work/memory-$1"
  awk -v u="$user" -v s="$system" 'BEGIN { print (u + s) * 1000 }' >>"$work/cpu-$1"
}

# run_batch HOME: one timed run of tidepost-batch in the data folder HOME.
run_batch() {
  local home="$work/$1"
  rm -f "$home"/xml/*.xml
  local before start end status=0
  before=$(logged)
  start=$(now)
  TIDEPOST_HOME="$home" /usr/bin/time -f '%M %U %S' -o "$work/memory" "$batch" >"$work/batch.out" 2>&1 || status=$?
  end=$(now)
  ((status == 0)) || fail "tidepost-batch in $1 exited with $status:
$(tail -n 20 "$work/batch.out")"
  local page
  for page in weather news movies stocks directions astro email; do
    [ -s "$home/xml/$page.xml" ] || fail "tidepost-batch in $1 wrote no $page page:
$(tail -n 20 "$work/batch.out")"
  done
  check_requests "tidepost-batch in $1" "$before"
  record "$1" $((end - start))
}

# ---- The first run tells the request targets; curl gets them as one list.
run_batch home-default
targets=$(logged)
while IFS= read -r target; do
  target=${target//\\/\\\\}
  printf 'url = "http://127.0.0.1:%s%s"\noutput = "/dev/null"\n' "$port" "${target//\"/\\\"}"
done <"$work/requests.log" >"$work/curl.config"
rm -f "$work"/times-* "$work"/memory-* "$work"/cpu-*

run_curl() {
  local before start end status=0
  before=$(logged)
  start=$(now)
  /usr/bin/time -f '%M %U %S' -o "$work/memory" curl --silent --show-error --globoff \
    --write-out '%{http_code}\n' --config "$work/curl.config" >"$work/curl.out" 2>&1 || status=$?
  end=$(now)
  ((status == 0)) || fail "curl exited with $status: $(tail -n 5 "$work/curl.out")"
  local ok
  ok=$(grep -c '^200$' "$work/curl.out" || true)
  ((ok == targets)) || fail "curl got status 200 for $ok of $targets targets"
  check_requests curl "$before"
  record curl $((end - start))
}

for _ in $(seq "$rounds"); do
  run_batch home-default
  run_batch home-limited
  run_curl
done

# median FILE: the median of the numbers in FILE, one a line.
median() {
  sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
largest() { sort -n "$1" | tail -n 1; }

default_us=$(median "$work/times-home-default")
limited_us=$(median "$work/times-home-limited")
curl_us=$(median "$work/times-curl")
echo "Heavy run: $targets requests to 127.0.0.1, answered after $delay ms; $rounds rounds; $build"
awk -v d="$default_us" -v l="$limited_us" -v c="$curl_us" -v n="$max_fetches" \
  -v dc="$(median "$work/cpu-home-default")" -v lc="$(median "$work/cpu-home-limited")" \
  -v cc="$(median "$work/cpu-curl")" 'BEGIN {
  printf "  median wall time (processor time)\n"
  printf "  tidepost-batch, MaxFetches default  %9.1f ms (%5.0f ms)   batch/curl %.2f\n", d / 1000, dc, d / c
  printf "  tidepost-batch, MaxFetches=%-8s %9.1f ms (%5.0f ms)   batch/curl %.2f\n", n, l / 1000, lc, l / c
  printf "  curl, one after another             %9.1f ms (%5.0f ms)\n", c / 1000, cc
}'
echo "  peak memory (largest of the rounds): tidepost-batch $(largest "$work/memory-home-default") KB" \
  "(MaxFetches=$max_fetches: $(largest "$work/memory-home-limited") KB), curl $(largest "$work/memory-curl") KB"
