#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while (seconds,
# default 60; FUZZ_RUNS=N also stops a target after N inputs). Each target's
# seed writer (build-fuzz/tools/NAME_seeds) first adds its seeds to the kept
# corpus in build-fuzz/corpus/. Findings land in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
runs=()
[ -n "${FUZZ_RUNS:-}" ] && runs=(-runs="$FUZZ_RUNS")
bash scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DAQUARIUM_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
targets=()
for source in fuzz/*_fuzzer.cpp; do
  name=$(basename "$source" .cpp)
  targets+=("$name")
  [ -f "tools/seeds/${name%_fuzzer}_seeds.cpp" ] && targets+=("${name%_fuzzer}_seeds")
done
cmake --build build-fuzz -j2 --target "${targets[@]}"
mkdir -p build-fuzz/findings
for fuzzer in build-fuzz/*_fuzzer; do
  name=$(basename "$fuzzer")
  mkdir -p "build-fuzz/corpus/$name"
  seeds="build-fuzz/tools/${name%_fuzzer}_seeds"
  if [ -x "$seeds" ]; then "$seeds" "build-fuzz/corpus/$name"; fi
  "$fuzzer" -max_total_time="$seconds" "${runs[@]}" -artifact_prefix="build-fuzz/findings/$name-" \
    "build-fuzz/corpus/$name"
done
