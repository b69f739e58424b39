#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while (seconds,
# default 60; FUZZ_RUNS=N also stops a target after N inputs). Each target
# starts from the seed corpus that fuzz_seeds writes with the project's
# writers, plus what earlier runs kept in build-fuzz/corpus/. Findings land in
# build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
runs=()
[ -n "${FUZZ_RUNS:-}" ] && runs=(-runs="$FUZZ_RUNS")
bash scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DAQUARIUM_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build-fuzz -j2
rm -rf build-fuzz/seeds
build-fuzz/tools/fuzz_seeds build-fuzz/seeds
mkdir -p build-fuzz/findings
for fuzzer in build-fuzz/*_fuzzer; do
  name=$(basename "$fuzzer")
  mkdir -p "build-fuzz/corpus/$name"
  "$fuzzer" -max_total_time="$seconds" "${runs[@]}" -artifact_prefix="build-fuzz/findings/$name-" \
    "build-fuzz/corpus/$name" "build-fuzz/seeds/$name"
done
