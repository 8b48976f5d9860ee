#!/usr/bin/env bash
# Hotkey press to the first capture overlay mapped and painted, on a private
# Xorg (dummy driver, 2560x1440 + 1920x1080) with openbox: the first capture
# after launch, the median over runs in quick succession, and the median of
# captures after the app has been idle a while (its capture memory freed);
# `flameshot gui` (daemon already running) is timed the same way in the same
# run when it is installed, for a ratio.
# Usage: bench/overlay_latency.sh BUILD_DIR [RUNS]   (built with -DVELLOQ_BUILD_BENCH=ON)
set -euo pipefail
build=${1:?usage: overlay_latency.sh BUILD_DIR [RUNS]}
runs=${2:-15}
source "$(dirname "$0")/dummy_desktop.sh"
bench_workspace
start_dummy_desktop
start_white_desktop

median() { sort -n | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }

"$build/src/app/velloq" >"$work/velloq.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/velloq.sock" ] && break; sleep 0.1; done
# Captures after IDLE seconds without one, so whatever a capture keeps has gone.
after_idle() { # out command...
  local out=$1; shift
  for _ in 1 2 3; do sleep "$idle"; "$build/bench/overlay_probe" 1 1280 720 "$@" >>"$out"; done
}
idle=4
sleep 1
# The probe presses the hotkey itself through XTest, so the time starts at the
# key press; the xdotool rows add starting a process first, as earlier figures did.
first=$("$build/bench/overlay_probe" 1 1280 720 --key ctrl+super+u)
echo "velloq: hotkey to painted overlay, first capture after launch: $first ms"
"$build/bench/overlay_probe" 1 1280 720 --key ctrl+super+u >/dev/null # warm-up
"$build/bench/overlay_probe" "$runs" 1280 720 --key ctrl+super+u >"$work/velloq.ms"
ours=$(median <"$work/velloq.ms")
echo "velloq: hotkey to painted overlay, median of $runs runs: $ours ms"
"$build/bench/overlay_probe" "$runs" 1280 720 xdotool key ctrl+super+u >"$work/velloq-xdotool.ms"
echo "velloq: xdotool process pressing the hotkey to painted overlay, median of $runs runs: $(median <"$work/velloq-xdotool.ms") ms"
after_idle "$work/velloq-idle.ms" --key ctrl+super+u
echo "velloq: after ${idle} s idle, median of 3: $(median <"$work/velloq-idle.ms") ms"
kill "${pids[-1]}" 2>/dev/null || true

if command -v flameshot >/dev/null; then
  flameshot >"$work/flameshot.log" 2>&1 &
  pids+=($!)
  sleep 2
  first=$("$build/bench/overlay_probe" 1 1280 720 flameshot gui)
  echo "flameshot gui: invocation to painted overlay, first capture after launch: $first ms"
  "$build/bench/overlay_probe" 1 1280 720 flameshot gui >/dev/null # warm-up
  "$build/bench/overlay_probe" "$runs" 1280 720 flameshot gui >"$work/flameshot.ms"
  peer=$(median <"$work/flameshot.ms")
  echo "flameshot gui: invocation to painted overlay, median of $runs runs: $peer ms"
  after_idle "$work/flameshot-idle.ms" flameshot gui
  echo "flameshot gui: after ${idle} s idle, median of 3: $(median <"$work/flameshot-idle.ms") ms"
  awk -v a="$peer" -v b="$ours" 'BEGIN {printf "ratio (flameshot / velloq): %.1fx\n", a / b}'
else
  echo "flameshot is not installed: no peer figure"
fi
