#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages the project needs. Does nothing
# when all are present.
#
#   scripts/install-deps.sh            what building and running the program need
#   scripts/install-deps.sh test       ... and what the tests, benchmarks,
#                                      fuzzing and screenshots add
#   scripts/install-deps.sh package    ... and what making the Debian package adds
#
# Groups can be combined (scripts/install-deps.sh test package). As root it
# installs directly, otherwise through sudo; a user without sudo is told to run
# it once as root.
set -euo pipefail

# Building and running the program, and the measuring box's firmware. The
# program's texts are drawn in Liberation Sans, their superscripts (s⁻¹,
# ·10⁴) in DejaVu Sans; the tests check every character against these two
# fonts' files alone.
build_packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev qt6-qpa-plugins libeigen3-dev
  fonts-liberation fonts-dejavu-core qt6-translations-l10n
  gcc-avr avr-libc binutils-avr
)

# What the tests, benchmarks, fuzzing (clang), screenshots and the simulated
# measuring box (simavr) add; the validators check the package's desktop
# entry, AppStream file and manual page; poppler-utils reads the reports back.
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xclip xdotool x11-utils imagemagick
  clang libclang-rt-14-dev
  locales
  libsimavr-dev
  desktop-file-utils appstream man-db
  poppler-utils
)

# What making the Debian package adds (dpkg-shlibdeps needs file; the source
# tarball comes from git).
package_packages=(
  dpkg-dev file git
)

packages=("${build_packages[@]}")
for group in "$@"; do
  case $group in
    test) packages+=("${test_packages[@]}") ;;
    package) packages+=("${package_packages[@]}") ;;
    *) echo "usage: $0 [test] [package]" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
((${#missing[@]})) || exit 0

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    here=$(cd "$(dirname "$0")/.." && pwd)
    echo "Missing packages (${missing[*]}): install them once as root with  su - -c '$here/scripts/install-deps.sh${*:+ $*}'  then run this command again as yourself." >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
