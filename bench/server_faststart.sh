#!/usr/bin/env bash
# How long `complete` takes for a long recording, and how long the browser copy
# takes after it, against a velloq-server on loopback.
# Usage: bench/server_faststart.sh SERVER_BINARY [MINUTES] [VIDEO_CACHE_DIR]
# The video is 1080p30 H.264 at the recorder's rate for that size (8.3 Mbit/s)
# with AAC, as fragmented MP4 with 2-second fragments: a 10-second clip is
# encoded once and repeated by stream copy, so making it costs seconds.
set -euo pipefail
server_bin=$(realpath "${1:?velloq-server binary}")
minutes=${2:-10}
cache=${3:-$(mktemp -d)}
work=$(mktemp -d)
server=""
cleanup() {
  if [[ -n $server ]]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

video=$cache/recording-${minutes}min.mp4
if [[ ! -s $video ]]; then
  ffmpeg -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=30:duration=10 \
    -f lavfi -i sine=frequency=440:sample_rate=48000:duration=10 \
    -c:v libx264 -preset veryfast -b:v 8300k -g 60 -pix_fmt yuv420p -c:a aac -b:a 96k \
    "$cache/clip.mp4"
  ffmpeg -v error -y -stream_loop $((minutes * 6 - 1)) -i "$cache/clip.mp4" -c copy \
    -movflags +frag_keyframe+empty_moov+default_base_moof "$video"
fi
size=$(stat -c %s "$video")

key=sk-bench-$RANDOM$RANDOM
"$server_bin" --data-dir "$work/data" --listen 127.0.0.1:0 --key "$key" --plain-http \
  > "$work/ready" 2> "$work/log" &
server=$!
for _ in $(seq 200); do grep -q "ready" "$work/ready" && break; sleep 0.05; done
base=$(sed -E 's/.* url=([^ ]+) .*/\1/' "$work/ready")
auth="Authorization: Bearer $key"

# 5 MiB parts, as the streaming uploader sends them.
id=$(curl -sf -X POST -H "$auth" "$base/videos/start" | sed -E 's/.*"videoId":"([^"]+)".*/\1/')
split -b 5242880 -d -a 4 "$video" "$work/part-"
parts=()
n=0
for part in "$work"/part-*; do
  n=$((n + 1))
  url=$(curl -sf -X POST -H "$auth" -H 'Content-Type: application/json' \
    -d "{\"partNumber\":$n}" "$base/videos/$id/sign-part" | sed -E 's/.*"url":"([^"]+)".*/\1/')
  etag=$(curl -sf -T "$part" -D - -o /dev/null "$url" | tr -d '\r' | sed -n 's/^[Ee][Tt]ag: //p')
  parts+=("{\"partNumber\":$n,\"etag\":$(printf '%s' "$etag" | sed 's/"/\\"/g; s/.*/"&"/')}")
  rm "$part"
done
body="{\"parts\":[$(IFS=,; echo "${parts[*]}")],\"sizeBytes\":$size}"
start=$(date +%s.%N)
answer=$(curl -sf -X POST -H "$auth" -H 'Content-Type: application/json' -d "$body" \
  -w ' %{time_total}' "$base/videos/$id/complete")
seconds=${answer##* }
view=$(sed -E 's/.*"viewUrl":"([^"]+)".*/\1/' <<< "${answer% *}")
printf 'video: %d min, %.0f MiB in %d parts\n' "$minutes" "$(bc <<< "$size / 1048576")" "$n"
printf 'complete answered in %.0f ms (viewUrl %s)\n' "$(bc <<< "$seconds * 1000")" "$view"
# The copy is ready when its address answers 200.
for _ in $(seq 1200); do
  status=$(curl -s -o /dev/null -w '%{http_code}' -I "$view/video.mp4")
  [[ $status != 503 ]] && break
  sleep 0.1
done
ready=$(date +%s.%N)
printf 'browser copy: HTTP %s %.1f s after complete was sent\n' "$status" "$(bc <<< "$ready - $start")"
grep -o 'browser copy ready in [0-9]*ms' "$work/log" || true
