#!/usr/bin/env bash
# The start-up benchmark on an X server: the main window and a trivial Qt
# Widgets window, each from process start to its first paint, under Xvfb.
# Usage: bash bench/startup_xvfb.sh [build folder]
set -euo pipefail
build="${1:-build}"
cmake --build "$build" --target startup_bench
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/startup_bench"
  --benchmark_min_warmup_time=0.5
