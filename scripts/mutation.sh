#!/usr/bin/env bash
# Mutation score of the test suite: plants one small fault at a time in the
# program's sources (scripts/mutants.py draws them from a fixed seed), rebuilds
# in build-mutation/, and runs the test programs that cover the changed folder.
# A mutant that makes a test fail, crash or hang is killed, one that passes
# everything survived, one that does not compile is left out of the score.
# Prints the score per folder and overall; every mutant and its fate goes to
# the log, so that the survivors can be read. The source file is always put
# back, also on Ctrl-C.
#
# usage: scripts/mutation.sh [--seed S] [--count N] [--log FILE] [--skip PROGRAM]...
#                           [--folders "image processing ..."]
#   --skip leaves a test program out (e.g. test_hardening, the slowest), for a
#   quicker, lower estimate of the score; --folders measures only those
#   folders (the count is then split between them).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seed=13
count=250
log=$root/build-mutation/mutants.log
skip=" "
folders=(image processing widgets app batch)
while [ $# -gt 0 ]; do
  case $1 in
    --seed) seed=$2; shift 2 ;;
    --count) count=$2; shift 2 ;;
    --log) log=$(realpath -m "$2"); shift 2 ;;
    --skip) skip+="$2 "; shift 2 ;;
    --folders) read -ra folders <<<"$2"; shift 2 ;;
    *) echo "usage: $0 [--seed S] [--count N] [--log FILE] [--skip PROGRAM]... [--folders LIST]" >&2; exit 2 ;;
  esac
done

build=$root/build-mutation
# The test programs that exercise each folder's code, cheapest first is
# decided after the clean run. e2e runs the real editor with X events.
declare -A covering=(
  [image]="test_image test_processing test_batch test_hardening"
  [processing]="test_processing test_batch"
  [widgets]="test_widgets test_app e2e test_hardening"
  [app]="test_app test_batch e2e test_hardening"
  [batch]="test_batch"
)
declare -A targets=(
  [test_image]=test_image [test_processing]=test_processing
  [test_widgets]=test_widgets [test_app]=test_app
  [test_hardening]=test_hardening [test_batch]="test_batch mirlan-batch"
  [e2e]="mirlan mirlan-batch"
)

# --- The file under mutation is always restored -------------------------------
scratch=$(mktemp -d /tmp/mirlan_mutation_XXXXXX)
mutated=
xvfb_pid=
finish() {
  if [ -n "$mutated" ]; then cp "$scratch/original" "$root/$mutated"; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap finish EXIT
measuring=
# Cut short, the run still reports the score of the mutants done so far.
trap '[ -z "$measuring" ] || summarise; exit 130' INT TERM

# --- An X display for the tests that draw ------------------------------------
if [ -z "${DISPLAY:-}" ]; then
  source scripts/xvfb.sh
  start_xvfb
fi
export MIRLAN_SOURCE_DIR=$root

# Test discovery at test time, not after each link: a build then fails only
# when the mutant does not compile.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMIRLAN_BENCH=OFF \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null

build_for() {  # builds what the given test programs need; fails if it does not compile
  local wanted=() program
  for program in "$@"; do
    read -ra more <<<"${targets[$program]}"
    wanted+=("${more[@]}")
  done
  cmake --build "$build" -j"$(nproc)" --target "${wanted[@]}" >"$scratch/build.log" 2>&1
}

# --- Running one test program -------------------------------------------------
# Tests that fail inside a shared process but pass alone (as ctest runs them)
# are found by the clean run and then always run alone.
declare -A alone=() limit=() seconds=()

run_program() {  # runs one program under its time limit; fails if any test does
  local program=$1 t=${limit[$1]:-600} name
  if [ "$program" = e2e ]; then  # the scenarios side by side, each on its own X server
    # All but the package one, which only checks what the build installs.
    (cd "$build" && ctest -R '^e2e\.' -E InstallAndPackage -j 8 --timeout "$t") >"$scratch/run.log" 2>&1
    return
  fi
  local skipped=${alone[$program]:-}
  (cd "$build/tests" && timeout -k 5 "$t" "./$program" --gtest_fail_fast --gtest_brief=1 \
    "--gtest_filter=*-${skipped%:}") >"$scratch/run.log" 2>&1 || return 1
  for name in ${skipped//:/ }; do
    (cd "$build/tests" && timeout -k 5 "$t" "./$program" "--gtest_filter=$name") \
      >"$scratch/run.log" 2>&1 || return 1
  done
}

failing_tests() {  # names of the failed tests in a program's output
  grep -oP '^\[  FAILED  \] \K[\w/.]+(?= \()' "$1" | sort -u || true
}

clean_run() {  # times every program on the sources as they are; they must pass
  local program name start
  local programs
  programs=$(kept test_image test_processing test_widgets test_app test_hardening test_batch e2e)
  # shellcheck disable=SC2086
  build_for $programs || { cat "$scratch/build.log" >&2; echo "the sources do not build" >&2; exit 1; }
  for program in $programs; do
    start=$(date +%s%N)
    if [ "$program" = e2e ]; then
      run_program e2e || { echo "e2e fails on the clean sources" >&2; exit 1; }
    elif ! (cd "$build/tests" && "./$program" --gtest_brief=1) >"$scratch/clean.log" 2>&1; then
      for name in $(failing_tests "$scratch/clean.log"); do
        (cd "$build/tests" && "./$program" "--gtest_filter=$name") >/dev/null 2>&1 ||
          { echo "$program: $name fails on the clean sources" >&2; exit 1; }
        alone[$program]+="$name:"
      done
      [ -n "${alone[$program]:-}" ] || { echo "$program fails on the clean sources" >&2; exit 1; }
    fi
    seconds[$program]=$((($(date +%s%N) - start) / 1000000000 + 1))
    limit[$program]=$((seconds[$program] * 4 + 10))
    echo "clean run: $program ${seconds[$program]} s${alone[$program]:+ (run alone: ${alone[$program]%:})}"
  done
}

kept() {  # the programs given that are not skipped
  local program
  for program in "$@"; do [[ $skip == *" $program "* ]] || echo "$program"; done
}

cheapest_first() {  # the programs given that are not skipped, fastest first
  local program
  for program in $(kept "$@"); do echo "${seconds[$program]} $program"; done | sort -n | cut -d' ' -f2
}

# --- One mutant -------------------------------------------------------------
mutant_fate() {  # applies, builds and tests one mutant; sets fate
  local file=$1 line=$2 after=$3 folder=${1%%/*} program
  mutated=$file
  cp "$root/$file" "$scratch/original"
  python3 scripts/mutants.py apply "$root/$file" "$line" "$after"
  local programs
  # shellcheck disable=SC2086
  programs=$(cheapest_first ${covering[$folder]})
  fate=survived
  # shellcheck disable=SC2086
  if ! build_for $programs; then
    fate=uncompiled
  else
    for program in $programs; do
      if ! run_program "$program" 2>/dev/null; then fate="killed by $program"; break; fi
    done
  fi
  cp "$scratch/original" "$root/$file"
  mutated=
}

# --- The score, from the log ----------------------------------------------------
summarise() {
  echo "seed $seed, $(wc -l <"$log") of $total mutants, $(($(date +%s) - start)) s;" \
    "programs left out:${skip% }" | sed "s/out:$/out: none/"
  awk -F'\t' -v order="${folders[*]}" '
    function row(name, k, s, u) {
      score = k + s ? sprintf("%d/%d = %d %%", k, k + s, 100 * k / (k + s)) : "-"
      printf "%-11s %7d %7d %9d %11d  %s\n", name, k + s + u, k, s, u, score
    }
    { split($1, at, "/"); f = at[1]
      if ($2 ~ /^killed/) k[f]++; else if ($2 == "survived") s[f]++; else u[f]++ }
    END {
      printf "%-11s %7s %7s %9s %11s  %s\n", "folder", "mutants", "killed", "survived", "uncompiled", "score"
      n = split(order, names, " ")
      for (i = 1; i <= n; i++) { f = names[i]; row(f, k[f], s[f], u[f]); K += k[f]; S += s[f]; U += u[f] }
      row("all", K, S, U)
    }' "$log"
  echo "log: $log"
}

clean_run
mkdir -p "$(dirname "$log")"
: >"$log"
start=$(date +%s)
python3 scripts/mutants.py sample --seed "$seed" --count "$count" "${folders[@]}" >"$scratch/plan"
total=$(wc -l <"$scratch/plan")
measuring=1
n=0
while IFS=$'\t' read -r file line operator before after; do
  n=$((n + 1))
  mutant_fate "$file" "$line" "$after" </dev/null
  printf '%s:%s\t%s\t%s\t%s → %s\n' "$file" "$line" "$fate" "$operator" "$before" "$after" >>"$log"
  echo "[$n/$total] $file:$line $operator: $fate"
done <"$scratch/plan"

summarise
