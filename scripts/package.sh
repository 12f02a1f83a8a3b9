#!/usr/bin/env bash
# Installs what is missing, builds the program with Debian's hardening flags
# (dpkg-buildflags: fortified functions, stack protector, relro, bindnow) and
# makes its Debian package, build-package/nelvar_<version>_amd64.deb
# (NELVAR_BUILD_DIR names another build folder). The package carries the
# source as committed in git, in /usr/share/doc/nelvar/. Install it with:
#   sudo apt-get install ./build-package/nelvar_2.0.0_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package

build_dir=${NELVAR_BUILD_DIR:-build-package}
source scripts/owner-check.sh
check_owner "$build_dir" scripts/package.sh

if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
  echo "Note: the package's source archive holds the last commit, without the changes not committed yet."
fi

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNELVAR_BUILD_TESTS=OFF -DNELVAR_BUILD_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build_dir" --target all nelvar_source
(cd "$build_dir" && cpack -G DEB)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
deb=$build_dir/nelvar_${version}_$(dpkg --print-architecture).deb
archive=nelvar-$version.tar.gz
contents=$(dpkg-deb -c "$deb")
if ! grep -q "/usr/share/doc/nelvar/$archive\$" <<<"$contents"; then
  echo "$deb lacks /usr/share/doc/nelvar/$archive" >&2
  exit 1
fi
echo "Package: $deb"
