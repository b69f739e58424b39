#!/usr/bin/env bash
# Draws the soundtrack of an archive as a picture: spectrogram (sox) above the
# short-term loudness (green), the 51 cuts marked in yellow, each act's
# planned loudness in blue, loudness grid lines every 10 LU from -10 LUFS.
#   tools/music_picture.sh [ARCHIVE [OUT.png [FROM TO]]]
# Defaults: build/dovra.kzp, build/music.png, the whole track (FROM and TO in
# seconds); the picture is 3000 columns wide.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
archive="${1:-$root/build/dovra.kzp}"
out="${2:-$root/build/music.png}"
aqlisten="$root/build/tools/listen/aqlisten"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$aqlisten" wav "$archive" "$work/track.wav"
from="${3:-0}"
to="${4:-$(sox --i -D "$work/track.wav")}"
sox "$work/track.wav" -n trim "$from" "=$to" remix - spectrogram -r -x 3000 -y 360 -z 90 -o "$work/spectrogram.png"
"$aqlisten" picture "$archive" "$work/spectrogram.png" "$out" "$from" "$to"
echo "$out"
