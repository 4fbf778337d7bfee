#!/usr/bin/env bash
# Sets up, builds and runs every test: the core tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the whole suite (core, command line, GUI) in a normal build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs="${KESTRA_JOBS:-2}"

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRA_SANITIZE=ON \
  -DKESTRA_BUILD_GUI=OFF -DKESTRA_BUILD_BENCH=OFF >/dev/null
ninja -C build/asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure -j"$jobs"

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/release -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build/release --output-on-failure -j"$jobs"
