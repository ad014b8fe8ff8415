#!/usr/bin/env bash
# Installs the Debian packages the project needs. Idempotent: apt-get runs only when
# something is missing, so repeated calls cost a dpkg query.
set -euo pipefail

packages=(
  cmake ninja-build ccache g++ pkg-config
  qtbase5-dev libqt5svg5-dev qttools5-dev qttools5-dev-tools
  libboost-thread-dev libsqlite3-dev
  libavcodec-dev libavformat-dev libswscale-dev libavutil-dev
  libzip-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)
# A virtual display for the demo host's tour on a machine without one.
if [ "${TVS_GUI_DEPS:-0}" = 1 ]; then
  packages+=(xvfb xauth)
fi
# Only the encoder benchmark compares against the command-line tool.
if [ "${TVS_BENCH_DEPS:-0}" = 1 ]; then
  packages+=(ffmpeg)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
