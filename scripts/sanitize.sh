#!/usr/bin/env bash
# The whole program under AddressSanitizer and UndefinedBehaviorSanitizer:
# builds the demo and aqtool in build-sanitize/, then captures the whole
# default show (build/dovra.kzp, which the normal build makes) at a low frame
# rate (FPS, default 2). Any sanitizer report, or a capture that does not end
# well within half an hour, fails. Leak reports are suppressed only as
# scripts/sanitize.supp says.
set -euo pipefail
cd "$(dirname "$0")/.."
fps="${1:-2}"
root="$PWD"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAQUARIUM_SANITIZE=ON -DBUILD_TESTING=OFF > /dev/null
cmake --build build-sanitize -j2 --target aquarium aqtool
cmake --build build -j2 --target default_data aqtool

if ! build/tools/aqtool list build/dovra.kzp | grep -q '^DATA\\SCROLLTEXT\\SCENES\\SCR03.SCN '; then
  echo "sanitize: build/dovra.kzp holds no show yet; nothing to capture"
  exit 0
fi

# The libraries the demo and SDL load at run time stay loaded from the start:
# unloaded at the end, the memory they still hold would be reported as lost
# with no name to tell whose it is.
multiarch="$(gcc -print-multiarch)"
preload="$(gcc -print-file-name=libasan.so) libGL.so.1 libGLU.so.1 libEGL.so.1 libEGL_mesa.so.0"
preload+=" /usr/lib/$multiarch/dri/swrast_dri.so"

log="$root/build-sanitize/capture.log"
time_limit=1800  # seconds: a capture that takes longer has hung, and fails
status=0
(
  cd build
  export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
  export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
  export LSAN_OPTIONS="suppressions=$root/scripts/sanitize.supp"
  export UBSAN_OPTIONS=print_stacktrace=1
  timeout --kill-after=10 "$time_limit" env LD_PRELOAD="$preload" \
    "$root/build-sanitize/tools/aqtool" capture 0 50 "$fps" - \
      --music "$root/build-sanitize/capture.wav" > /dev/null 2> "$log"
) || status=$?
if [ "$status" -ne 0 ] || grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$log"; then
  cat "$log"
  echo "sanitize: the capture under the sanitizers failed (status $status); see $log"
  exit 1
fi
grep "^capture: " "$log" | tail -n 1
