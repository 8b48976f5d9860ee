#!/usr/bin/env bash
# Builds the server's fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time, starting from
# the corpus in tests/fuzz/corpus. New inputs go to a scratch directory, so
# the repository is left as it was. FUZZ_SECONDS sets the time per target.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-20}
build=${FUZZ_BUILD_DIR:-build-fuzz}
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in multipart ranges json_bodies png; do
  echo "== fuzz_$target: ${seconds}s"
  mkdir -p "$scratch/$target"
  # -rss_limit_mb and -timeout turn a memory or time blow-up into a failure.
  "$build/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=1024 -timeout=10 \
    -max_len=65536 -print_final_stats=0 -artifact_prefix="$scratch/" \
    "$scratch/$target" "tests/fuzz/corpus/$target" 2>&1 | tail -n 3 || {
    echo "fuzz_$target failed; reproducer in $scratch" >&2
    trap - EXIT
    exit 1
  }
done
