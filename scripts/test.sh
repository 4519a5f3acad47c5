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
  # The end-to-end scenarios mostly wait for windows, each on its own X
  # server: twice as many tests as cores keep the cores busy.
  ctest --test-dir "$dir" --output-on-failure -j"$((2 * jobs))" --timeout 1200
}

echo "== Release build"
run_suite build-test -DCMAKE_BUILD_TYPE=Release
# The memcheck session waits on the editor most of its time: it runs beside
# the fuzz runs, which keep the cores busy.
echo "== A session of the release binary under valgrind memcheck, beside bounded fuzz runs of the file readers (clang, libFuzzer)"
bash scripts/valgrind-session.sh build-test/app/mirlan >build-test/valgrind-session.log 2>&1 &
session=$!
fuzz_status=0
bash scripts/fuzz.sh build-fuzz || fuzz_status=$?
session_status=0
wait "$session" || session_status=$?
cat build-test/valgrind-session.log
if [ "$fuzz_status" -ne 0 ] || [ "$session_status" -ne 0 ]; then exit 1; fi
# -O1 -g1: the sanitizers' own advice, with line numbers in their reports;
# it builds in half the time of -O2 -g.
echo "== Sanitizer build (address, undefined)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRLAN_SANITIZE=ON -DMIRLAN_BENCH=OFF \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1"
