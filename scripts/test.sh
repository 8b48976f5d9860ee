#!/usr/bin/env bash
# Installs what Velloq needs, builds it, and runs every test: once as built,
# once under AddressSanitizer + UndefinedBehaviorSanitizer, and the tests of
# code that crosses threads (label "threads") under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)
# Objects compiled by an earlier run (or another checkout) are reused.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

# build_and_test DIR "CMAKE ARGS" "BUILD TARGETS" "CTEST ARGS"
build_and_test() {
  local dir=$1 configure=$2 targets=$3 select=$4
  echo "== $dir: configure and build"
  # shellcheck disable=SC2086
  cmake -S . -B "$dir" -G Ninja $configure >/dev/null
  # shellcheck disable=SC2086
  cmake --build "$dir" -j"$jobs" ${targets:+--target $targets}
  echo "== $dir: test"
  # --no-tests=error: a run that registers no test fails instead of passing.
  # shellcheck disable=SC2086
  scripts/with-test-session.sh ctest --test-dir "$dir" --output-on-failure --no-tests=error \
    -j"$jobs" --timeout 300 $select
}

build_and_test build "-DCMAKE_BUILD_TYPE=RelWithDebInfo" "" ""

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0
build_and_test build-asan "-DCMAKE_BUILD_TYPE=Debug -DVELLOQ_SANITIZE=ON" "" ""
bash scripts/fuzz.sh

export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/sanitizers/tsan.supp
build_and_test build-tsan "-DCMAKE_BUILD_TYPE=Debug -DVELLOQ_TSAN=ON" \
  velloq_threaded_tests "-L threads"
