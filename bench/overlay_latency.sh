#!/usr/bin/env bash
# Hotkey press to the first capture overlay mapped and painted, on a private
# Xorg (dummy driver, 2560x1440 + 1920x1080) with openbox, median over runs;
# `flameshot gui` (daemon already running) is timed the same way in the same
# run when it is installed, for a ratio.
# Usage: bench/overlay_latency.sh BUILD_DIR [RUNS]   (built with -DVELLOQ_BUILD_BENCH=ON)
set -euo pipefail
build=${1:?usage: overlay_latency.sh BUILD_DIR [RUNS]}
runs=${2:-15}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/dummy_desktop.sh"
start_dummy_desktop
HOME="$work" openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1
# A white desktop: any overlay that dims it changes the probe pixel.
xsetroot -solid white

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"

median() { sort -n | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }

"$build/src/app/velloq" >"$work/velloq.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/velloq.sock" ] && break; sleep 0.1; done
"$build/bench/overlay_probe" 2 1280 720 xdotool key ctrl+super+u >/dev/null # warm-up
"$build/bench/overlay_probe" "$runs" 1280 720 xdotool key ctrl+super+u >"$work/velloq.ms"
ours=$(median <"$work/velloq.ms")
echo "velloq: hotkey to painted overlay, median of $runs runs: $ours ms"
kill "${pids[-1]}" 2>/dev/null || true

if command -v flameshot >/dev/null; then
  flameshot >"$work/flameshot.log" 2>&1 &
  pids+=($!)
  sleep 2
  "$build/bench/overlay_probe" 2 1280 720 flameshot gui >/dev/null # warm-up
  "$build/bench/overlay_probe" "$runs" 1280 720 flameshot gui >"$work/flameshot.ms"
  peer=$(median <"$work/flameshot.ms")
  echo "flameshot gui: invocation to painted overlay, median of $runs runs: $peer ms"
  awk -v a="$peer" -v b="$ours" 'BEGIN {printf "ratio (flameshot / velloq): %.1fx\n", a / b}'
else
  echo "flameshot is not installed: no peer figure"
fi
