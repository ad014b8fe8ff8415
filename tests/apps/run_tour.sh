#!/bin/sh
# Runs the demo host's scripted tour offscreen on a private store, settings and log folder.
# TVS_TOUR_SHOTS keeps the screenshots in a folder of one's choice.
set -eu
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TESK_DATA_DIR="$scratch/data" TESK_CONFIG_DIR="$scratch/config" TESK_LOG_DIR="$scratch/log"
export QT_QPA_PLATFORM=offscreen
status=0
"$1" --tour "${TVS_TOUR_SHOTS:-$scratch/shots}" || status=$?
[ "$status" -eq 0 ] || tail -n 40 "$scratch/log/video_search.log" 2>/dev/null || true
exit "$status"
