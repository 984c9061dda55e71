#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal
# build, and an AddressSanitizer + UndefinedBehaviorSanitizer build; then the
# programs without a window and their tests once more, with Qt hidden from
# CMake (without benchmarks, to keep the run short); then, built with
# ThreadSanitizer, the tests of the parts that run threads (parallel fetches,
# the settings-file cache, the conversion service; the window's background run
# is left out, as Qt's own locks are not built for the sanitizer); with clang
# present, it then runs each fuzz target for a short while (FUZZ_SECONDS, 15 s
# by default; 0 skips them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEPOST_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTIDEPOST_WERROR=ON \
      -DTIDEPOST_SANITIZE=ON -DTIDEPOST_BENCHMARKS=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

cmake -S . -B build-nogui -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEPOST_WERROR=ON \
      -DTIDEPOST_GUI=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=TRUE -DTIDEPOST_BENCHMARKS=OFF
cmake --build build-nogui -j "$jobs"
ctest --test-dir build-nogui --output-on-failure -j "$jobs"

# Only the test programs of the threaded parts, and only their threaded tests.
tsan_targets=(test_net test_parallel_run test_ini test_conversion_service)
tsan_tests='^(Ways/FetchUrlTest|ParallelFetchLimits|ParallelRun|IniCache|ConversionService)\.'
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEPOST_WERROR=ON \
      -DTIDEPOST_TSAN=ON -DTIDEPOST_GUI=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=TRUE -DTIDEPOST_BENCHMARKS=OFF
cmake --build build-tsan -j "$jobs" --target "${tsan_targets[@]}"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp" \
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" -R "$tsan_tests"

if command -v clang++ >/dev/null && [ "${FUZZ_SECONDS:-15}" != 0 ]; then
  bash scripts/fuzz.sh "${FUZZ_SECONDS:-15}"
fi
