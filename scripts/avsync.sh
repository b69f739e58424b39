#!/usr/bin/env bash
# Measures how far apart the demo's sound and picture reach a viewer at the
# cuts: the real demo plays on an Xvfb screen of 640 x 480 with its sound going
# through a private PulseAudio to a null sink, while one probe reads the
# middle of the screen every millisecond and another records the sink's monitor,
# both on the monotonic clock; aqavsync then finds the start and every cut in
# both and prints the offsets (sound after picture positive). A measurement,
# not a test: its figures depend on the machine and its load.
#
#   bash scripts/avsync.sh [RUNS]         scenes 2 to 5, RUNS times (1 by default)
#   bash scripts/avsync.sh --show [RUNS]  the whole show, scenes 0 to 50
#
# AVSYNC_DEMO=PATH plays another build of the demo (to compare two), in build/
# with its archive; the files of each run stay in the folder it names when
# AVSYNC_KEEP=1.
set -euo pipefail
cd "$(dirname "$0")/.."

first=2
last=5
if [ "${1:-}" = "--show" ]; then
  first=0
  last=50
  shift
fi
runs=${1:-1}

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j2 --target aquarium default_data aqscreenprobe aqsinkprobe aqavsync > /dev/null
build=$(pwd)/build
probes=$build/tools/avsync
demo=$(realpath "${AVSYNC_DEMO:-$build/aquarium}")

work=$(mktemp -d /tmp/avsync.XXXXXX)
pids=()
stop_all() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2> /dev/null || true
  done
  for pid in "${pids[@]}"; do
    wait "$pid" 2> /dev/null || true
  done
  pids=()
}
finish() {
  stop_all
  if [ "${AVSYNC_KEEP:-0}" = 1 ]; then
    echo "files kept in $work"
  else
    rm -rf "$work"
  fi
}
trap finish EXIT

# A PulseAudio of this measurement's own: its runtime folder, its home, one
# null sink at the demo's rate, nothing autospawned and no idle exit.
export HOME=$work/home XDG_RUNTIME_DIR=$work/run PULSE_RUNTIME_PATH=$work/run/pulse
mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR"
pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
  -L module-native-protocol-unix -L "module-null-sink sink_name=avsync rate=44100 channels=2 format=s16le" \
  2> "$work/pulse.log" &
pids+=($!)
for _ in $(seq 50); do
  pactl info > /dev/null 2>&1 && break
  sleep 0.1
done
pactl info > /dev/null || { echo "avsync: PulseAudio did not start (see $work/pulse.log)" >&2; exit 1; }

# An X server on a display number it chooses itself, black behind the window.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 640x480x24 -br -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
pids+=($!)
read -r -t 10 number < "$work/display" || { echo "avsync: Xvfb did not start" >&2; exit 1; }
display=":$number"

# A bound on the probes, which end with the demo.
seconds=600

# The record stream's latency glides in from far off after it connects;
# until it has settled the reads cannot time the sound.
wait_for_recorder() {
  for _ in $(seq 300); do
    tail -n 1 "$1" 2> /dev/null | awk '{ v = $3 } END { exit !(NR > 0 && v > -50000 && v < 50000) }' && return 0
    sleep 0.1
  done
  echo "avsync: the recorder did not settle" >&2
  return 1
}

echo "scenes $first to $last, $runs run(s); load: $(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq "$runs"); do
  dir=$work/run$run
  mkdir -p "$dir"
  "$probes/aqsinkprobe" avsync.monitor "$seconds" "$dir/sound.pcm" "$dir/sound.times" &
  sink_probe=$!
  "$probes/aqscreenprobe" "$display" "$seconds" "$dir/screen.txt" &
  screen_probe=$!
  pids+=("$sink_probe" "$screen_probe")
  wait_for_recorder "$dir/sound.times"
  (sleep 8 && pactl list sink-inputs | grep -i latency > "$dir/stream.txt") &
  (cd "$build" && DISPLAY=$display SDL_AUDIODRIVER=pulseaudio "$demo" "$first" "$last" \
    > "$dir/demo.log" 2>&1) || true
  kill -INT "$sink_probe" "$screen_probe"
  wait "$sink_probe" "$screen_probe" || true
  pids=("${pids[@]:0:2}")
  echo "run $run (load $(cut -d' ' -f1 /proc/loadavg));" \
    "PulseAudio had the stream at:" $(tr -s ' \t' ' ' < "$dir/stream.txt" 2> /dev/null || true)
  "$probes/aqavsync" "$build/dovra.kzp" "$first" "$last" "$dir/screen.txt" "$dir/sound.pcm" \
    "$dir/sound.times" | tee "$dir/report.txt"
done

if [ "$runs" -gt 1 ]; then
  echo "per run:"
  grep -h '^summary' "$work"/run*/report.txt
fi
