#!/usr/bin/env bash
# Sets up, builds, makes the demo file and runs the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/release -j"${KESTRA_JOBS:-2}"
mkdir -p demo
build/release/kestra-make-demo demo/demo.nsf
build/release/kestra-cli songs demo/demo.nsf
