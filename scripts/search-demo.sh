#!/usr/bin/env bash
# Installs what is missing, builds the console search host and runs it on the embedded
# default store (created with sample recordings on first use). Extra arguments go to
# tvs-search (see `tvs-search --help`).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
build_dir=${TVS_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build_dir" --target tvs-search
exec "$build_dir/bin/tvs-search" "$@"
