#!/usr/bin/env bash
# Fuzzes every parser of outside input: builds the libFuzzer targets
# (tests/fuzz/CMakeLists.txt) with clang++, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, then runs each for the given
# number of seconds (default 40), starting from its seed corpus in
# tests/fuzz/corpus/. Inputs found along the way are kept in
# build-fuzz/corpus/; an input that fails is written to build-fuzz/artifacts/
# and makes the script exit non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-40}
scripts/install-deps.sh test

build_dir=build-fuzz
source scripts/owner-check.sh
check_owner "$build_dir" scripts/fuzz.sh
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DNELVAR_FUZZ=ON >/dev/null
cmake --build "$build_dir" --target fuzzers
mapfile -t targets < "$build_dir/fuzz-targets.txt"

export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
for target in "${targets[@]}"; do
  [[ -n $target ]] || continue
  corpus="$build_dir/corpus/$target"
  artifacts="$build_dir/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/")
  if [[ -f tests/fuzz/$target.dict ]]; then options+=(-dict="tests/fuzz/$target.dict"); fi
  log="$build_dir/fuzz_$target.log"
  echo "== fuzz_$target for ${seconds} s (output in $log)"
  if ! "$build_dir/tests/fuzz/fuzz_$target" "${options[@]}" "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$target failed: the input is in $artifacts/"
    exit 1
  fi
  grep -E '^stat::number_of_executed_units|^Done' "$log" || true
done
