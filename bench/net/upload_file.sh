#!/usr/bin/env bash
# uploadFile of a 256 MiB file to the reference server on loopback, against
# `curl -T` of the same file as one PUT to a signed part address. Both sides
# run in turn, RUNS times (default 5, the first side alternating), and the
# medians are compared, so that load from elsewhere weighs on both alike.
# Usage: bench/net/upload_file.sh BUILD_DIR   (configured with -DVELLOQ_BUILD_BENCH=ON)
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
runs=${RUNS:-5}
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
auth="Authorization: Bearer $key"

ours() {
  VELLOQ_SERVICE_URL=$base VELLOQ_CA_FILE=$ca VELLOQ_BENCH_KEY=$key \
    "$build/bench/velloq_upload_file_bench" "$work/video.mp4" 2> /dev/null | tee -a "$work/ours"
}
peer() {
  local id url seconds
  id=$(curl -s --cacert "$ca" -X POST -H "$auth" "$base/videos/start" |
    sed -E 's/.*"videoId":"([^"]+)".*/\1/')
  url=$(curl -s --cacert "$ca" -X POST -H "$auth" -H 'Content-Type: application/json' \
    -d '{"partNumber":1}' "$base/videos/$id/sign-part" | sed -E 's/.*"url":"([^"]+)".*/\1/')
  seconds=$(curl -s --cacert "$ca" -T "$work/video.mp4" -o /dev/null -w '%{time_total}' "$url")
  awk -v s="$seconds" 'BEGIN { printf "curl -T:    256.0 MiB in %.2f s = %.0f MiB/s\n", s, 256 / s }' |
    tee -a "$work/peer"
  # The part stays pending; drop it so the disk holds one copy per run at most.
  curl -s --cacert "$ca" -X POST -H "$auth" "$base/videos/$id/abort" > /dev/null
}
for run in $(seq "$runs"); do
  if ((run % 2)); then ours; peer; else peer; ours; fi
done

median() { sed -E 's/.* = ([0-9.]+) MiB\/s.*/\1/' "$1" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
m_ours=$(median "$work/ours")
m_peer=$(median "$work/peer")
rss=$(sed -E 's/.*peak RSS ([0-9.]+) MiB.*/\1/' "$work/ours" | sort -n | tail -1)
awk -v o="$m_ours" -v p="$m_peer" -v r="$rss" -v n="$runs" 'BEGIN {
  printf "median of %d runs: uploadFile %.0f MiB/s, curl -T %.0f MiB/s = %.2fx; highest peak RSS %.1f MiB above baseline\n",
    n, o, p, o / p, r }'
