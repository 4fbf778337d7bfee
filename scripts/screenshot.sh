#!/usr/bin/env bash
# Takes docs/screenshot.png: the editor under Xvfb on the demo file with its first song read.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/release -j"${KESTRA_JOBS:-2}" kestra kestra-make-demo
mkdir -p demo docs
build/release/kestra-make-demo demo/demo.nsf
xvfb-run -a -s "-screen 0 1024x768x24" \
  build/release/kestra --screenshot docs/screenshot.png demo/demo.nsf
echo "docs/screenshot.png written"
