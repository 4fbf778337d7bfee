#!/usr/bin/env bash
# Sets up, builds, makes the demo file and starts the editor on it. Without a display the editor
# is started under Xvfb only to show that it comes up, then it quits.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/release -j"${KESTRA_JOBS:-2}" kestra kestra-cli kestra-make-demo
mkdir -p demo
build/release/kestra-make-demo demo/demo.nsf
build/release/kestra-cli songs demo/demo.nsf
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/kestra demo/demo.nsf
fi
echo "No display: starting the editor under Xvfb to check that it comes up."
xvfb-run -a build/release/kestra --quit-when-shown demo/demo.nsf
