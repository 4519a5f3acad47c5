#!/usr/bin/env bash
# Bounded fuzz runs of Mirlan's file readers: builds the libFuzzer targets of
# fuzz/ with clang (address and undefined-behaviour sanitizers) and runs the
# two side by side, each for FUZZ_RUNS inputs (default 150000) from the
# random seed FUZZ_SEED (default 1), starting from the seed corpus and every
# input that ever crashed (fuzz/crashes/<target>/). With a fixed seed and
# count a run explores much the same inputs every time (the scratch file's
# name holds the process id, which shifts coverage a little);
# FUZZ_SECONDS=N instead runs for N seconds from a fresh random seed, to
# look further. The corpus grown by
# the run stays in the build directory; a crash fails the script and leaves
# its input there, to be added to fuzz/crashes/<target>/, which tests/image replays.
#
# usage: scripts/fuzz.sh [build-dir]     (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build-fuzz}
if [ -n "${FUZZ_SECONDS:-}" ]; then
  bound=(-max_total_time="$FUZZ_SECONDS")
  what="${FUZZ_SECONDS}s"
else
  bound=(-runs="${FUZZ_RUNS:-150000}" -seed="${FUZZ_SEED:-1}")
  what="${FUZZ_RUNS:-150000} inputs from seed ${FUZZ_SEED:-1}"
fi

cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

fuzz_target() {  # runs one target; what to print of it goes to run_<target>/summary
  local target=$1 work="$build/run_$1"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  local seeds=("$root/fuzz/corpus/$target")
  [ -d "$root/fuzz/crashes/$target" ] && seeds+=("$root/fuzz/crashes/$target")
  # Inputs that merely ask for huge pictures are skipped by the target, so
  # the memory limits only catch real runaway allocations.
  local status=0
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz_$target" "${bound[@]}" -timeout=20 -rss_limit_mb=4096 \
      -max_len=4096 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
      "$work/corpus" "${seeds[@]}" >"$work/log" 2>&1 || status=$?
  local runs files bytes
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n1)
  files=$(find "$work/corpus" -type f | wc -l)
  bytes=$(du -sb "$work/corpus" | cut -f1)
  {
    echo "== fuzz_$target, $what"
    if [ "$status" -ne 0 ]; then
      tail -n 60 "$work/log"
      echo "FAIL: fuzz_$target found a fault; inputs in $work/artifacts/"
    fi
    echo "fuzz_$target: ${runs:-?} executions, corpus of $files files ($bytes bytes)"
  } >"$work/summary"
  return "$status"
}

# One target a core: the two run side by side.
targets=(decode open_image)
pids=()
for target in "${targets[@]}"; do
  fuzz_target "$target" &
  pids+=($!)
done
status=0
for i in "${!targets[@]}"; do
  wait "${pids[$i]}" || status=1
  cat "$build/run_${targets[$i]}/summary"
done
exit $status
