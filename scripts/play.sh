#!/usr/bin/env bash
# Builds the demo and its default data and plays it full screen; extra
# arguments (first and last scene number) go to the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j2 --target aquarium default_data
# The demo reads "dovra.kzp" from, and writes its screenshots to, its working directory.
cd build
exec ./aquarium "$@"
