#!/usr/bin/env bash
# Builds the demo and plays it full screen; extra arguments (first and last
# scene number) go to the demo, which does not read them yet.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j2 --target aquarium
if [ "$#" -gt 0 ]; then
  echo "play.sh: scene numbers are not used yet: the demo ignores its arguments" >&2
fi
exec ./build/aquarium "$@"
