#!/usr/bin/env bash
# Installs what is missing, builds Mirlan with its tests, and runs every test
# twice: in the release build, then in a build with the address and
# undefined-behaviour sanitizers. Starts its own virtual X server for the tests
# that draw, and stops it on the way out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
# Three builds of the same sources: ccache keeps what a previous run already
# compiled, in any clone (paths relative to the clone, folders not hashed).
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1

source scripts/xvfb.sh
start_xvfb
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 1200
}

echo "== Release build"
run_suite build-test -DCMAKE_BUILD_TYPE=Release
echo "== A session of the release binary under valgrind memcheck"
bash scripts/valgrind-session.sh build-test/app/mirlan
echo "== Bounded fuzz runs of the file readers (clang, libFuzzer)"
bash scripts/fuzz.sh build-fuzz
echo "== Sanitizer build (address, undefined)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRLAN_SANITIZE=ON -DMIRLAN_BENCH=OFF
