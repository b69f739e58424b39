#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while (seconds,
# default 60). Findings land in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DAQUARIUM_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build-fuzz -j2
mkdir -p build-fuzz/findings
for fuzzer in build-fuzz/*_fuzzer; do
  name=$(basename "$fuzzer")
  mkdir -p "build-fuzz/corpus/$name"
  seeds="build-fuzz/tools/${name%_fuzzer}_seeds"
  if [ -x "$seeds" ]; then "$seeds" "build-fuzz/corpus/$name"; fi
  "$fuzzer" -max_total_time="$seconds" -artifact_prefix="build-fuzz/findings/$name-" \
    "build-fuzz/corpus/$name"
done
