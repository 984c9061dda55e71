#!/usr/bin/env bash
# Builds Tidepost and runs a download against the bundled sample provider.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tidepost-batch
./build/tidepost-batch --version
