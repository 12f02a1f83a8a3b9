#!/usr/bin/env bash
# Installs what is missing (test tools included), builds, and runs every test
# through ctest. Root only installs the packages when the folder belongs to a
# user (see owner-check.sh).
# NELVAR_SANITIZE=ON builds with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/ instead of build/.
# NELVAR_SANITIZE=THREAD builds only the test programs that run work on other
# threads (target thread_tests) with ThreadSanitizer in build-tsan/, and runs
# their tests labelled "threads"; a race fails the test that met it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

build_dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DNELVAR_BUILD_TESTS=ON)
benchmarks=ON
targets=()
ctest_options=()
if [[ ${NELVAR_SANITIZE:-OFF} == THREAD ]]; then
  build_dir=build-tsan
  options+=(-DNELVAR_SANITIZE_THREAD=ON)
  benchmarks=OFF
  targets=(--target thread_tests)
  ctest_options=(-L threads)
  export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp}
elif [[ ${NELVAR_SANITIZE:-OFF} == ON ]]; then
  build_dir=build-sanitize
  options+=(-DNELVAR_SANITIZE=ON)
  benchmarks=OFF
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
fi

source scripts/owner-check.sh
check_owner "$build_dir" scripts/test.sh
cmake -S . -B "$build_dir" -G Ninja "${options[@]}" -DNELVAR_BUILD_BENCHMARKS=$benchmarks >/dev/null
cmake --build "$build_dir" "${targets[@]}"
ctest --test-dir "$build_dir" --output-on-failure -j2 "${ctest_options[@]}"
