#!/usr/bin/env bash
# Idle memory of the tray app on a private Xorg (dummy driver, one 2560x1440
# monitor) with openbox: resident size fresh after launch and after captures
# cancelled with Escape, each read once the app has settled; the peer's idle
# daemon (`flameshot`) is measured the same way in the same run when it is
# installed, for a ratio. Memory is read from /proc: RSS, and PSS (shared
# pages divided among the processes that map them).
# Usage: bench/idle_memory.sh BUILD_DIR [SETTLE_SECONDS]   (built with -DVELLOQ_BUILD_BENCH=ON)
set -euo pipefail
build=${1:?usage: idle_memory.sh BUILD_DIR [SETTLE_SECONDS]}
settle=${2:-5}
source "$(dirname "$0")/dummy_desktop.sh"
bench_workspace
start_dummy_desktop
xrandr --output DUMMY1 --off
start_white_desktop

mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
# "RSS PSS" in KiB of a process.
memory() {
  awk '/^Rss:/ {r=$2} /^Pss:/ {p=$2} END {print r, p}' "/proc/$1/smaps_rollup"
}
report() { # label pid
  read -r rss pss < <(memory "$2")
  printf '%-36s RSS %6s MiB  PSS %6s MiB\n' "$1" "$(mib "$rss")" "$(mib "$pss")"
  echo "$rss" >"$work/last"
}
# One capture opened by COMMAND..., shown, then cancelled with Escape.
capture_once() { "$build/bench/overlay_probe" 1 1280 720 "$@" >/dev/null; }

"$build/src/app/velloq" >"$work/velloq.log" 2>&1 &
app=$!
pids+=($app)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/velloq.sock" ] && break; sleep 0.1; done
sleep "$settle"
report "velloq fresh" "$app"
ours_fresh=$(cat "$work/last")
capture_once xdotool key ctrl+super+u
sleep "$settle"
report "velloq after 1 cancelled capture" "$app"
ours_one=$(cat "$work/last")
for _ in 1 2 3 4; do capture_once xdotool key ctrl+super+u; done
sleep "$settle"
report "velloq after 5 cancelled captures" "$app"
ours_five=$(cat "$work/last")
kill "$app" 2>/dev/null || true

if ! command -v flameshot >/dev/null; then
  echo "flameshot is not installed: no peer figure"
  exit 0
fi
flameshot >"$work/flameshot.log" 2>&1 &
peer=$!
pids+=($peer)
sleep "$settle"
report "flameshot daemon fresh" "$peer"
peer_fresh=$(cat "$work/last")
capture_once flameshot gui
sleep "$settle"
report "flameshot daemon after 1 capture" "$peer"
peer_one=$(cat "$work/last")
awk -v f="$ours_fresh" -v o="$ours_one" -v v="$ours_five" -v p="$peer_fresh" -v q="$peer_one" 'BEGIN {
  printf "ratio to the peer daemon fresh (RSS): fresh %.2fx, after 1 capture %.2fx, after 5 %.2fx\n", f / p, o / p, v / p
  printf "ratio to the peer daemon after its capture (RSS): after 1 capture %.2fx, after 5 %.2fx\n", o / q, v / q
}'
