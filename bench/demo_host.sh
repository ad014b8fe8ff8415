#!/usr/bin/env bash
# Whole-process figures of the demo host:
#   start   the process from launch to the search panel shown (median of 5 runs, store cached);
#   search  a 7-day search of 64 cameras for every kind, from the search button to the final
#           count of every tab (3 runs, each in a fresh process);
#   memory  resident memory after each of three tours in one process, on the default store.
# Usage: bench/demo_host.sh BUILD_DIR LARGE_STORE   (tvs-store --large LARGE_STORE creates it)
# Runs on the display it finds, else offscreen.
set -euo pipefail
build=${1:?build directory}
store=${2:?large store directory}
demo="$build/bin/tvs-demo"
[ -x "$demo" ] || { echo "no $demo; build the tvs-demo target" >&2; exit 2; }
[ -f "$store/catalogue.db" ] || { echo "no store in $store; create it with tvs-store --large" >&2; exit 2; }
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TESK_CONFIG_DIR="$scratch/config" TESK_LOG_DIR="$scratch/log"

ms_now() { date +%s%3N; }

echo "== start (launch to panel shown, large store)"
starts=()
for i in 1 2 3 4 5 6; do
  begin=$(ms_now)
  "$demo" --store "$store" --exit-when-shown > /dev/null
  end=$(ms_now)
  # The first run warms the file cache and is left out.
  [ "$i" -gt 1 ] && starts+=($((end - begin)))
done
printf '%s\n' "${starts[@]}" | sort -n | awk '{a[NR]=$1} END {printf "start: median %d ms (min %d, max %d) over %d runs\n", a[int((NR+1)/2)], a[1], a[NR], NR}'

echo "== search (64 cameras, 7 days, every kind)"
for i in 1 2 3; do
  "$demo" --store "$store" --bench-search 64
done

echo "== memory (three tours in one process, default store)"
TESK_DATA_DIR="$scratch/data" "$demo" --tour "$scratch/shots" --repeat 3 | grep -E '^tour [0-9]+ of'
