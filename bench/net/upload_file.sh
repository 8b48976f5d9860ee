#!/usr/bin/env bash
# uploadFile of a 256 MiB file to the reference server on loopback, against
# `curl -T` of the same file as one PUT to a signed part address, in one run.
# Usage: bench/net/upload_file.sh BUILD_DIR   (configured with -DVELLOQ_BUILD_BENCH=ON)
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
work=$(mktemp -d)
server=""
cleanup() {
  if [[ -n $server ]]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

head -c $((256 << 20)) /dev/urandom > "$work/video.mp4"
key=sk-bench-$RANDOM$RANDOM
"$build/server/velloq-server" --data-dir "$work/data" --listen 127.0.0.1:0 --key "$key" \
  --max-part-bytes $((300 << 20)) > "$work/ready" 2> /dev/null &
server=$!
for _ in $(seq 200); do grep -q "ready" "$work/ready" && break; sleep 0.05; done
base=$(sed -E 's/.* url=([^ ]+) .*/\1/' "$work/ready")
ca=$(sed -E 's/.* ca=([^ ]+) .*/\1/' "$work/ready")

VELLOQ_SERVICE_URL=$base VELLOQ_CA_FILE=$ca VELLOQ_BENCH_KEY=$key \
  "$build/bench/velloq_upload_file_bench" "$work/video.mp4" 2> /dev/null

auth="Authorization: Bearer $key"
id=$(curl -s --cacert "$ca" -X POST -H "$auth" "$base/videos/start" |
  sed -E 's/.*"videoId":"([^"]+)".*/\1/')
url=$(curl -s --cacert "$ca" -X POST -H "$auth" -H 'Content-Type: application/json' \
  -d '{"partNumber":1}' "$base/videos/$id/sign-part" | sed -E 's/.*"url":"([^"]+)".*/\1/')
seconds=$(curl -s --cacert "$ca" -T "$work/video.mp4" -o /dev/null -w '%{time_total}' "$url")
awk -v s="$seconds" 'BEGIN { printf "curl -T:    256.0 MiB in %.2f s = %.0f MiB/s\n", s, 256 / s }'
