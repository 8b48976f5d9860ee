#!/usr/bin/env bash
# Starts velloq-server on a free loopback port and finds how many connections
# that never start TLS it holds while /healthz still answers within a second.
# Usage: bench/server_load_slow.sh BUILD_DIR [MAX]
set -euo pipefail
build=${1:?usage: server_load_slow.sh BUILD_DIR [MAX]}
work=$(mktemp -d)
trap 'kill "${server_pid:-}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
"$build/server/velloq-server" --data-dir "$work/data" --listen 127.0.0.1:0 \
  --ready-file "$work/ready.json" 2> "$work/server.log" &
server_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
url=$(sed -n 's/.*"url":"\([^"]*\)".*/\1/p' "$work/ready.json")
ca=$(sed -n 's/.*"caFile":"\([^"]*\)".*/\1/p' "$work/ready.json")
port=$(sed -n 's/.*"port":\([0-9]*\).*/\1/p' "$work/ready.json")
"$build/bench/velloq_server_slow_probe" "$url" "$ca" "$port" "${2:-16000}"
echo "server peak RSS: $(awk '/VmHWM/ {printf "%.1f MiB", $2/1024}' /proc/$server_pid/status)"
