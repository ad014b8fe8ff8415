#!/usr/bin/env bash
# Whole-process comparison of the time-lapse encoder with the ffmpeg command line on the same
# 1,000 JPEG pictures of 1280x720: H.264 (libx264, preset veryfast), yuv420p, 25 fps, MP4.
# Runs alternate; wall time per run and the throughput ratio (ffmpeg time / our time) are printed.
#
#   bench/timelapse_vs_ffmpeg.sh [build-dir] [runs]
# Needs the Debian package ffmpeg (TVS_BENCH_DEPS=1 scripts/setup-deps.sh installs it).
set -euo pipefail
build_dir=${1:-build}
runs=${2:-3}
tool="$build_dir/bin/tvs-timelapse"
[ -x "$tool" ] || { echo "missing $tool; build the target tvs-timelapse" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "ffmpeg is missing: TVS_BENCH_DEPS=1 scripts/setup-deps.sh" >&2; exit 1; }

pictures=${TVS_BENCH_PICTURES:-${TMPDIR:-/tmp}/tvs-timelapse-bench-pictures}
if [ ! -f "$pictures/999.jpg" ]; then
  mkdir -p "$pictures"
  echo "generating 1000 pictures in $pictures"
  ffmpeg -loglevel error -y -f lavfi -i "testsrc2=size=1280x720:rate=25" -frames:v 1000 \
    -q:v 3 -start_number 0 "$pictures/%d.jpg"
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

now() { date +%s.%N; }
ours=()
theirs=()
for i in $(seq 1 "$runs"); do
  t0=$(now)
  "$tool" --pictures "$pictures" --output "$out/ours.mp4" --force 2>"$out/ours.log" \
    || { cat "$out/ours.log" >&2; exit 1; }
  t1=$(now)
  ffmpeg -loglevel error -y -framerate 25 -i "$pictures/%d.jpg" -c:v libx264 -preset veryfast \
    -pix_fmt yuv420p "$out/ffmpeg.mp4"
  t2=$(now)
  ours+=("$(echo "$t1 - $t0" | bc -l)")
  theirs+=("$(echo "$t2 - $t1" | bc -l)")
  printf 'run %d: tvs-timelapse %.2f s, ffmpeg %.2f s\n' "$i" "${ours[-1]}" "${theirs[-1]}"
done
frames=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets \
  -of csv=p=0 "$out/ours.mp4")
echo "frames in our video: $frames"
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
m_ours=$(median "${ours[@]}")
m_theirs=$(median "${theirs[@]}")
printf 'median: tvs-timelapse %.2f s, ffmpeg %.2f s, throughput ratio %.2f\n' \
  "$m_ours" "$m_theirs" "$(echo "$m_theirs / $m_ours" | bc -l)"
