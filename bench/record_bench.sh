#!/usr/bin/env bash
# `velloq record` against ffmpeg (x11grab + libx264 -preset veryfast) recording
# the same 1920x1080 display of a changing screen (bench/MovingScreen.cpp) for 30 s
# on a private Xorg (dummy driver): CPU seconds, peak RSS, frames in the file;
# then velloq on a still screen for 30 s; then stop -> link of 2-minute
# 1080p30 `--upload` recordings against the reference server on loopback.
# Never part of CI.
# Usage: bench/record_bench.sh BUILD_DIR [STOP_LINK_RUNS (default 5)]
#   (BUILD_DIR configured with -DVELLOQ_BUILD_BENCH=ON, targets velloq velloq-server moving_screen)
set -euo pipefail
build=${1:?usage: record_bench.sh BUILD_DIR [STOP_LINK_RUNS]}
runs=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
# The key lives in a Secret Service: run inside a private session.
if [ -z "${VELLOQ_IN_SESSION_BUS:-}" ]; then
  exec "$here/../scripts/with-test-session.sh" "$0" "$@"
fi
velloq="$build/src/app/velloq"
source "$here/dummy_desktop.sh"
bench_workspace
export VELLOQ_LOG_STDERR=0 HOME="$work/home"
mkdir -p "$HOME"

start_dummy_desktop
id=$("$velloq" displays | awk '$2 == "DUMMY1" { print $1 }')
offset=2560 # DUMMY1 sits right of the 2560-wide primary
duration=30
expected=$((duration * 30))

moving_screen() {
  "$build/bench/moving_screen" "$offset" 0 1920 1080 30 > "$work/drawn" &
  mover=$!
  pids+=("$mover")
  sleep 2
}

# Runs a command under GNU time; sets cpu (user + system seconds) and rss (peak, MiB).
measure() {
  /usr/bin/time -f "%U %S %M" -o "$work/time" "$@" >/dev/null 2>"$work/stderr" ||
    { cat "$work/stderr" >&2; return 1; }
  read -r user sys rss_kb < "$work/time"
  cpu=$(awk "BEGIN { printf \"%.2f\", $user + $sys }")
  rss=$(awk "BEGIN { printf \"%.1f\", $rss_kb / 1024 }")
}

frames() {
  ffprobe -v error -select_streams v -count_frames -show_entries stream=nb_read_frames \
    -of csv=p=0 "$1"
}

moving_screen
drawn() { wc -l < "$work/drawn"; }
d0=$(drawn)
measure "$velloq" record --display "$id" --duration "$duration" --fps 30 --resolution 1080p \
  --no-mic --output "$work/velloq.mp4"
v_drawn=$(( $(drawn) - d0 ))
v_cpu=$cpu v_rss=$rss v_frames=$(frames "$work/velloq.mp4")
d0=$(drawn)
measure ffmpeg -loglevel error -y -f x11grab -framerate 30 -video_size 1920x1080 \
  -i "$DISPLAY+$offset,0" -t "$duration" -c:v libx264 -preset veryfast -pix_fmt yuv420p \
  "$work/ffmpeg.mp4"
f_drawn=$(( $(drawn) - d0 ))
f_cpu=$cpu f_rss=$rss f_frames=$(frames "$work/ffmpeg.mp4")
# x11grab repeats what did not change; count what it saw change.
unique() {
  ffmpeg -v error -i "$1" -vf mpdecimate -f null - -stats 2>&1 | tr '\r' '\n' |
    sed -n 's/.*frame= *\([0-9]*\).*/\1/p' | tail -1
}
f_unique=$(unique "$work/ffmpeg.mp4")
kill "$mover"; wait "$mover" 2>/dev/null || true

echo "changing 1920x1080 screen, ${duration} s at 30 fps (at most $expected frames):"
printf '  %-8s CPU %6s s  peak RSS %7s MiB  frames in file %s of %s the screen drew\n' \
  velloq "$v_cpu" "$v_rss" "$v_frames" "$v_drawn" \
  ffmpeg "$f_cpu" "$f_rss" "$f_frames ($f_unique distinct)" "$f_drawn"
awk "BEGIN { printf \"  ratios velloq/ffmpeg: CPU %.2f  RSS %.2f\n\", $v_cpu / $f_cpu, $v_rss / $f_rss }"

sleep 1
measure "$velloq" record --display "$id" --duration "$duration" --no-mic --output "$work/idle.mp4"
awk "BEGIN { printf \"still screen, ${duration} s: CPU %s s = %.1f %% of one core\n\", $cpu, 100 * $cpu / $duration }"

# Stop -> link against the reference server.
[ "$runs" -gt 0 ] || exit 0
head -c 24 /dev/urandom | base64 | tr '+/' '-_' > "$work/keys"
"$build/server/velloq-server" --data-dir "$work/data" --listen 127.0.0.1:0 \
  --key-file "$work/keys" --ready-file "$work/ready.json" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
export VELLOQ_SERVICE_URL=$(sed -n 's/.*"url":"\([^"]*\)".*/\1/p' "$work/ready.json")
export VELLOQ_CA_FILE=$(sed -n 's/.*"caFile":"\([^"]*\)".*/\1/p' "$work/ready.json")
"$velloq" set-key < "$work/keys"
moving_screen
times=()
for run in $(seq "$runs"); do
  "$velloq" record --display "$id" --fps 30 --resolution 1080p --no-mic --upload \
    > "$work/link" 2>"$work/stderr" &
  recorder=$!
  sleep 120
  start=$(date +%s%N)
  kill -INT "$recorder"
  for _ in $(seq 6000); do grep -q '^https://' "$work/link" && break; sleep 0.005; done
  end=$(date +%s%N)
  wait "$recorder" || { cat "$work/stderr" >&2; exit 1; }
  grep -q '^https://' "$work/link" || { echo "no link" >&2; exit 1; }
  ms=$(( (end - start) / 1000000 ))
  times+=("$ms")
  echo "  run $run: stop -> link $ms ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
echo "2-minute 1080p30 --upload: stop -> link median $median ms over $runs runs"
