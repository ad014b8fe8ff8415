#!/usr/bin/env bash
# Whole-process comparison of the recording export (tvs-export, stream copy) with the ffmpeg
# command line (ffmpeg -ss B -to E -i media -c copy) on the same spans of a store: spans that
# lie within one piece of media, so that both copy the same packets. Runs alternate; the wall time
# per run, the bytes written and the throughput ratio (ours / ffmpeg's) are printed.
#
#   bench/export_vs_ffmpeg.sh [build-dir] [store-dir] [spans] [runs]
# The store defaults to the large benchmark store (tvs-store --large creates it); needs the
# Debian package ffmpeg (TVS_BENCH_DEPS=1 scripts/setup-deps.sh installs it) and python3.
set -euo pipefail
build_dir=${1:-build}
store=${2:-${TESK_DATA_DIR:-$HOME/.local/share/TeskVideoSearch}/store}
spans=${3:-10}
runs=${4:-5}
tool="$build_dir/bin/tvs-export"
[ -x "$tool" ] || { echo "missing $tool; build the target tvs-export" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "ffmpeg is missing: TVS_BENCH_DEPS=1 scripts/setup-deps.sh" >&2; exit 1; }
[ -f "$store/catalogue.db" ] || { echo "no store in $store (tvs-store --large creates one)" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen

# The store's media are generated per piece of wall-clock time (30 s by default) into
# media-cache/ when first asked for. One span per camera, inside one piece: a first export
# generates the piece (not timed), then both tools copy from that same file.
piece=${TVS_BENCH_PIECE_SECONDS:-30}
spans_plan=$(python3 - "$store" "$spans" "$piece" <<'PY'
import sqlite3, sys
store, wanted, piece = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
db = sqlite3.connect(f"file:{store}/catalogue.db?mode=ro", uri=True)
rows = db.execute("""
    select c.site_id, c.camera_id, r.begin_time, r.end_time
    from recordings r join cameras c on c.key = r.camera_key
    where r.end_time - r.begin_time > 3 * ? order by r.id""", (piece,))
taken, cameras = 0, set()
for site, camera, begin, end in rows:
    if camera in cameras:
        continue
    start = -(-begin // piece) * piece  # the first piece that lies wholly in the recording
    if start + piece > end:
        continue
    print(site, camera, start + 2, start + piece - 2, start)
    taken += 1
    cameras.add(camera)
    if taken == wanted:
        break
PY
)
[ -n "$spans_plan" ] || { echo "no span found" >&2; exit 1; }
warm=$(mktemp -d)
plan=""
i=0
while read -r site camera begin end start; do
  "$tool" --quiet --store "$store" --camera "$site:$camera" --span "$begin,$end" \
    --name "warm$i" --out "$warm" >/dev/null 2>"$warm/log" || { cat "$warm/log" >&2; exit 1; }
  media=$(ls -S "$store/media-cache/$site/$camera/$start"-*.mp4 | head -1)
  plan+="$site $camera $begin $end $media $((begin - start)) $((end - start))"$'\n'
  i=$((i + 1))
done <<<"$spans_plan"
rm -rf "$warm"
plan=${plan%$'\n'}
[ -n "$plan" ] || { echo "no span found" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
now() { date +%s.%N; }

ours_total=0
theirs_total=0
for run in $(seq 1 "$runs"); do
  rm -rf "$out/ours" "$out/ffmpeg"
  mkdir -p "$out/ours" "$out/ffmpeg"
  t0=$(now)
  i=0
  while read -r site camera begin end media from to; do
    "$tool" --quiet --store "$store" --camera "$site:$camera" --span "$begin,$end" \
      --name "span$i" --out "$out/ours" >/dev/null 2>"$out/ours.log" \
      || { cat "$out/ours.log" >&2; exit 1; }
    i=$((i + 1))
  done <<<"$plan"
  t1=$(now)
  i=0
  while read -r site camera begin end media from to; do
    ffmpeg -loglevel error -y -ss "$from" -to "$to" -i "$media" -c copy "$out/ffmpeg/span$i.mp4"
    i=$((i + 1))
  done <<<"$plan"
  t2=$(now)
  ours=$(echo "$t1 - $t0" | bc -l)
  theirs=$(echo "$t2 - $t1" | bc -l)
  ours_total=$(echo "$ours_total + $ours" | bc -l)
  theirs_total=$(echo "$theirs_total + $theirs" | bc -l)
  printf 'run %d: tvs-export %.3f s (%s bytes), ffmpeg %.3f s (%s bytes)\n' "$run" "$ours" \
    "$(du -cb "$out"/ours/*.mp4 | tail -1 | cut -f1)" "$theirs" \
    "$(du -cb "$out"/ffmpeg/*.mp4 | tail -1 | cut -f1)"
done
ours_bytes=$(du -cb "$out"/ours/*.mp4 | tail -1 | cut -f1)
theirs_bytes=$(du -cb "$out"/ffmpeg/*.mp4 | tail -1 | cut -f1)
printf '%d spans x %d runs: tvs-export %.1f MB/s, ffmpeg %.1f MB/s, ratio %.2f\n' "$spans" "$runs" \
  "$(echo "$ours_bytes * $runs / $ours_total / 1000000" | bc -l)" \
  "$(echo "$theirs_bytes * $runs / $theirs_total / 1000000" | bc -l)" \
  "$(echo "($ours_bytes / $ours_total) / ($theirs_bytes / $theirs_total)" | bc -l)"
