#!/usr/bin/env bash
# Installs what is missing, builds the program and makes its Debian package,
# build/nelvar_<version>_amd64.deb (NELVAR_BUILD_DIR names another build
# folder). Install it with: apt-get install ./build/nelvar_2.0.0_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package

build_dir=${NELVAR_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNELVAR_BUILD_TESTS=OFF -DNELVAR_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" --target nelvar nelvar_icons
(cd "$build_dir" && cpack -G DEB)
