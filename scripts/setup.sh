#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and play.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  zlib1g-dev libjpeg62-turbo-dev
  libsdl2-dev libsdl2-mixer-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl1 libegl-mesa0
  libmp3lame-dev libmpg123-dev libfluidsynth-dev fluid-soundfont-gm libebur128-dev sox libpng-dev
  libfreetype-dev fonts-dejavu-core
  libassimp-dev assimp-testmodels libstb-dev nlohmann-json3-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang
  xvfb xfonts-base xdotool x11-apps libx11-dev libxtst-dev
  pulseaudio pulseaudio-utils libpulse-dev
  desktop-file-utils man-db groff-base dpkg-dev file lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
