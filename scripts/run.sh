#!/usr/bin/env bash
# Installs what building and running need (not the test tools), builds, and
# starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNELVAR_BUILD_TESTS=OFF -DNELVAR_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build --target nelvar
exec build/app/nelvar "$@"
