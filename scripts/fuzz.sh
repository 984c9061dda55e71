#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60), seeded
# from the recorded provider pages, the page templates, the e-mail samples and
# the test settings files. New inputs found are kept in build-fuzz/corpus/.
#   bash scripts/fuzz.sh [SECONDS]
# Prints the executions per target; exits non-zero at the first target that
# finds a fault, leaving the input that shows it in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed" >&2; exit 1; }

targets=(scan weather news stocks movies directions address astro email page ini html2txt service_request)
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEPOST_FUZZ=ON \
  -DBUILD_TESTING=OFF -DTIDEPOST_BENCHMARKS=OFF -DTIDEPOST_GUI=OFF -DTIDEPOST_WERROR=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/%/_fuzz}"

pages=tools/sample_provider/pages
seeds_of() {
  case "$1" in
    scan) echo "$pages/weather/us $pages/news/en $pages/movies/us" ;;
    weather) echo "$pages/weather" ;;
    news) echo "$pages/news" ;;
    stocks) echo "$pages/rates $pages/quotes" ;;
    movies) echo "$pages/movies" ;;
    directions) echo "$pages/directions" ;;
    astro) echo "$pages/astro" ;;
    email) echo "scripts/demo_emails tests/data/email_folder_mixed" ;;
    page) echo "data/cfg" ;;
    html2txt) echo "tests/data/html2txt $pages/feeds" ;;
    service_request) echo "tests/data/service_requests" ;;
    ini|address) echo "tests/data/ini_hand_edited.ini tests/data/ini_hand_edited_after_writes.ini data/cfg/areacode.ini" ;;
  esac
}

mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
  corpus="build-fuzz/corpus/$target"
  mkdir -p "$corpus"
  # Seeds are copied flat, so libFuzzer reads them without recursing.
  for source in $(seeds_of "$target"); do
    find "$source" -type f ! -name routes.txt -exec cp -n -t "$corpus" {} + 2>/dev/null || true
  done
  log="build-fuzz/$target.log"
  if ! "build-fuzz/fuzz/${target}_fuzz" "$corpus" -max_total_time="$seconds" -print_final_stats=1 \
       -timeout=20 -rss_limit_mb=2048 -max_len=90000 -artifact_prefix="build-fuzz/findings/${target}-" \
       >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "fuzz.sh: $target found a fault (input in build-fuzz/findings/)" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  echo "$target: ${runs:-?} executions in ${seconds} s"
done
