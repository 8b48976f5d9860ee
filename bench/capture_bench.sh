#!/usr/bin/env bash
# PNG encoding on screenshot-like images, then the desktop snapshot on a private
# X server (Xorg's dummy driver, 2560x1440 + 1920x1080), with a peer's
# full-desktop grabs (scrot, maim) timed in the same run for a ratio.
# Usage: bench/capture_bench.sh BUILD_DIR   (configured with -DVELLOQ_BUILD_BENCH=ON)
set -euo pipefail
build=${1:?usage: capture_bench.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

# The sample screenshots are kept in the repository; make_bench_images rewrites them.
[ -s "$here/data/photo.png" ] || QT_QPA_PLATFORM=offscreen "$build/bench/make_bench_images" "$here/data"
# pngData against libpng's defaults: repetitions of both interleaved at random,
# so that load from elsewhere weighs on both alike; the ratios are of medians.
"$build/bench/png_bench" --benchmark_filter='PngData|LibpngDefault' \
  --benchmark_repetitions="${PNG_RUNS:-9}" --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true | tee "$work/png"
awk '/_median/ {
    split($1, name, "/"); kind = $NF; time = $2; bytes = $0
    sub(/.*bytes=/, "", bytes); sub(/ .*/, "", bytes)
    scale = bytes ~ /M$/ ? 1e6 : (bytes ~ /k$/ ? 1e3 : 1); sub(/[kM]$/, "", bytes)
    if (name[1] == "BM_PngData") { ours[kind] = time; oursBytes[kind] = bytes * scale }
    else { peer[kind] = time; peerBytes[kind] = bytes * scale }
  }
  END { for (k in ours) printf "pngData %-9s %.2fx faster than libpng at %.2fx the size\n",
                                k, peer[k] / ours[k], oursBytes[k] / peerBytes[k] }' "$work/png"

source "$here/dummy_desktop.sh"
start_dummy_desktop

"$build/bench/snapshot_bench" --benchmark_min_time=1

# Whole processes, as a user runs them; compare with the captureDesktop + pngData row above.
runs=20
for peer in "scrot -o $work/peer.png" "maim $work/peer.png"; do
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do $peer; done
  end=$(date +%s%N)
  echo "${peer%% *} full desktop to PNG: $(( (end - start) / runs / 1000000 )) ms per shot"
done
