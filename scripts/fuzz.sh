#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers in build-fuzz and
# runs them, each from its committed corpus and the regression inputs.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS is each target's time (600 unless told); TARGETs are names of the
# table below (all of them unless told). New inputs the fuzzer finds go to
# build-fuzz/corpus-<name>, never into the repository. A crash, a leak or a
# hang fails the run: the input is kept as build-fuzz/crash-<name>-* and its
# name printed; commit it under tests/data/fuzz-regressions/ as a test.
set -euo pipefail
cd "$(dirname "$0")/.."

# name  executable  committed corpus  longest input
targets=(
  "reader ombrel-fuzz-reader fuzz/corpus 200000"
  "import ombrel-fuzz-import fuzz/corpus-import 20000"
  "workbook ombrel-fuzz-workbook fuzz/corpus-workbook 65536"
)

seconds=${1:-600}
shift || true
wanted=("$@")

bash scripts/install-deps.sh fuzz
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DOMBREL_BUILD_GUI=OFF -DOMBREL_BUILD_TESTS=OFF -DOMBREL_SANITIZE=ON -DOMBREL_FUZZ=ON > /dev/null

status=0
for row in "${targets[@]}"; do
  read -r name executable corpus maxLength <<<"$row"
  if [ ${#wanted[@]} -gt 0 ] && [[ ! " ${wanted[*]} " == *" $name "* ]]; then continue; fi
  cmake --build build-fuzz -j "${JOBS:-2}" --target "$executable"
  work=build-fuzz/corpus-$name
  mkdir -p "$work"
  # The regression inputs of every reader join each corpus: a file that once
  # broke one reader is a good start for the others too.
  echo "fuzzing $name for ${seconds}s"
  if ! "build-fuzz/fuzz/$executable" -max_total_time="$seconds" -max_len="$maxLength" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/crash-$name-" \
      "$work" "$corpus" tests/data/fuzz-regressions > "build-fuzz/fuzz-$name.log" 2>&1; then
    echo "fuzzing $name FAILED; the last lines of build-fuzz/fuzz-$name.log:" >&2
    tail -n 40 "build-fuzz/fuzz-$name.log" >&2
    ls build-fuzz/crash-"$name"-* 2>/dev/null | sed 's/^/  input: /' >&2 || true
    status=1
  else
    grep -E 'stat::number_of_executed_units|cov:' "build-fuzz/fuzz-$name.log" | tail -n 2
  fi
done
exit $status
