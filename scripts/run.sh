#!/usr/bin/env bash
# Installs what building and running need (not the test tools), builds, and
# starts the program. Root only installs the packages when the folder belongs
# to a user (see owner-check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
source scripts/owner-check.sh
check_owner build scripts/run.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNELVAR_BUILD_TESTS=OFF -DNELVAR_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build --target nelvar
if [[ -z ${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-} ]]; then
  echo "Built build/app/nelvar, but there is no graphical display here: run scripts/run.sh from a terminal of your desktop session." >&2
  exit 1
fi
exec build/app/nelvar "$@"
