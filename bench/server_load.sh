#!/usr/bin/env bash
# Starts velloq-server on a free loopback port with a throwaway data directory,
# runs the load check against it from a second process, and stops it.
# Usage: bench/server_load.sh BUILD_DIR [server_load options]
set -euo pipefail
build=${1:?usage: server_load.sh BUILD_DIR}
shift
work=$(mktemp -d)
trap 'kill "${server_pid:-}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
head -c 24 /dev/urandom | base64 | tr '+/' '-_' > "$work/keys"
"$build/server/velloq-server" --data-dir "$work/data" --listen 127.0.0.1:0 \
  --key-file "$work/keys" --ready-file "$work/ready.json" 2> "$work/server.log" &
server_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
url=$(sed -n 's/.*"url":"\([^"]*\)".*/\1/p' "$work/ready.json")
ca=$(sed -n 's/.*"caFile":"\([^"]*\)".*/\1/p' "$work/ready.json")
"$build/bench/velloq_server_load" --url "$url" --ca "$ca" --key-file "$work/keys" \
  --server-pid "$server_pid" "$@"
echo "server log lines: $(wc -l < "$work/server.log")"
