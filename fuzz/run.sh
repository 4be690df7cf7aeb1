#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang and runs each for a set time.
#   fuzz/run.sh [SECONDS]   each target SECONDS (default 300) from the corpus in fuzz/corpus/;
#                           new inputs go to build-fuzz/corpus/, crashes to build-fuzz/crashes/
#   fuzz/run.sh --smoke     each target 5 seconds, as CI does
#   fuzz/run.sh --merge     adds what a long run found, minimised, to the corpus in the repo
# Needs clang, libclang-rt-dev and libgtest-dev (the test double reports through GoogleTest).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=300
merge=false
case "${1:-}" in
  --smoke) seconds=5 ;;
  --merge) merge=true ;;
  '') ;;
  *) seconds=$1 ;;
esac

build=build-fuzz
compiler=$(command -v clang++ || true)
if [ -z "$compiler" ]; then
  echo "fuzz/run.sh: clang++ is missing (scripts/install-deps.sh fuzz installs it)" >&2
  exit 1
fi
mkdir -p "$build"
# The targets fuzz the logic against its test double: no desktop is configured or built.
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DBUILD_TESTING=OFF -DLEXITROVE_FUZZ=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON \
      > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
targets=(word_list_fuzz edit_fuzz)
cmake --build "$build" -j"$(scripts/jobs.sh)" --target "${targets[@]}"

# Longest input per target: a word list long enough to cut an item at 4,096 units several
# times over; a phrase of a few thousand characters.
declare -A max_len=([word_list_fuzz]=20000 [edit_fuzz]=8192)
status=0
for target in "${targets[@]}"; do
  name=${target%_fuzz}
  seeds=fuzz/corpus/$name
  found=$build/corpus/$name
  mkdir -p "$found" "$build/crashes"
  if $merge; then
    "$build/fuzz/$target" -merge=1 "$seeds" "$found"
    continue
  fi
  echo "== $target: ${seconds}s"
  # New inputs go to the first folder, so the corpus in the repo only grows through --merge.
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" -timeout=10 \
       -rss_limit_mb=4096 -dict="fuzz/$name.dict" -print_final_stats=1 \
       -artifact_prefix="$build/crashes/$name-" "$found" "$seeds" > "$build/$name.log" 2>&1; then
    tail -n 40 "$build/$name.log"
    echo "$target FAILED: the input is in $build/crashes/"
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$build/$name.log" | sed "s/^/$target: /"
  fi
done
exit $status
