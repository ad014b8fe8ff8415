#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
build_dir=${TVS_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_dir"
cd "$build_dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600
