#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# each for SECONDS (default 30), seeded from the fixture builder. A crash, leak or hang fails.
#   bash scripts/fuzz.sh          # the bounded CI run
#   bash scripts/fuzz.sh 600      # the long run: ten minutes per harness
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
bash scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRA_FUZZ=ON -DKESTRA_BUILD_GUI=OFF -DKESTRA_BUILD_TESTS=OFF -DKESTRA_BUILD_BENCH=OFF >/dev/null
ninja -C build/fuzz -j"${KESTRA_JOBS:-2}"
corpus=build/fuzz/corpus
mkdir -p "$corpus"
build/fuzz/fuzz/kestra-fuzz-seeds "$corpus"
status=0
# A smaller quarantine than the default 256 MB: use-after-free is still caught among the recent
# frees, and a run no longer spends a third of its time in fresh pages.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=32}"
for harness in build/fuzz/fuzz/fuzz_*; do
  name=$(basename "$harness")
  mkdir -p "$corpus/$name" "build/fuzz/artifacts/$name"
  log="build/fuzz/$name.log"
  if "$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/artifacts/$name/" "$corpus/$name" >"$log" 2>&1; then
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "fuzz: $name ran ${runs:-?} inputs in ${seconds}s, no failure"
  else
    echo "fuzz: $name FAILED; see $log"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
