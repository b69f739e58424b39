#!/usr/bin/env bash
# Builds the benchmarks with the default show and aqtool, and runs every
# program in bench/ headless; arguments go to each (--benchmark_filter=...).
# Speed is measured here, never by the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
benches=()
for source in bench/*.cpp; do benches+=("$(basename "$source" .cpp)"); done
cmake --build build -j2 --target default_data aqtool "${benches[@]}"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
for bench in "${benches[@]}"; do
  echo "== $bench"
  "build/$bench" "$@"
done
