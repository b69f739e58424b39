#!/usr/bin/env bash
# Builds everything and runs every test, headless (SDL's offscreen driver on
# Mesa's software renderer, silent audio), then the whole show under the
# address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j2
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
(cd build && ctest --output-on-failure -j2)
bash scripts/sanitize.sh
