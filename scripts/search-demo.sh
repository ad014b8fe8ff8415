#!/usr/bin/env bash
# Installs what is missing, builds the demo host and opens the video search on the embedded
# default store (created with sample recordings on first use). With a display the window
# opens; without one the scripted tour runs under Xvfb (installed when missing) and the
# folder of its screenshots is printed. Extra arguments go to tvs-demo (`tvs-demo --help`).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
build_dir=${TVS_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build_dir" --target tvs-demo tvs-store
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build_dir/bin/tvs-demo" "$@"
fi

TVS_GUI_DEPS=1 scripts/setup-deps.sh
shots=${TVS_TOUR_DIR:-$PWD/$build_dir/tour}
echo "No display: running the scripted tour under Xvfb; screenshots go to $shots"
status=0
xvfb-run -a -s "-screen 0 1600x900x24" "$build_dir/bin/tvs-demo" --tour "$shots" "$@" || status=$?
echo "Screenshots: $shots"
exit "$status"
