#!/usr/bin/env bash
# Times the editor under Xvfb: start-up to the first shown window, reading a 10,000-line song
# into the sheets, switching sheets and scrolling (bench/gui/window_timing.cpp).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/release -j"${KESTRA_JOBS:-2}" kestra kestra-make-demo kestra_window_timing
mkdir -p demo
build/release/kestra-make-demo demo/demo.nsf
xvfb-run -a build/release/kestra --quit-when-shown demo/demo.nsf
xvfb-run -a -s "-screen 0 1024x768x24" build/release/bench/kestra_window_timing
