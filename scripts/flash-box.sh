#!/bin/bash
# Uploads the measuring box's firmware to an Uno or Nano board with avrdude
# (Debian package avrdude), through the board's bootloader.
#
#   flash-box.sh [--baud N] [--firmware FILE.hex] DEVICE [SENSOR]
#
# DEVICE: the board's serial device, e.g. /dev/ttyACM0 (Uno) or /dev/ttyUSB0
# (Nano with a CH340 or FTDI chip). SENSOR: MPX5700AP (default) or MPX4250AP,
# the sensor wired to A0; the box names it to the program.
# The bootloader's speed is tried at 115200 baud (Uno, recent Nano), then at
# 57600 (Nano with the old bootloader); --baud tries only the given speed.
# The firmware image is the one installed beside this script or, in the
# source tree, the build's (built first when missing or out of date);
# --firmware flashes the given Intel HEX file instead.
set -euo pipefail

say() { printf '%s\n%s\n' "$1" "$2" >&2; }
usage() {
  say "Utilisation : $0 [--baud N] [--firmware FICHIER.hex] PÉRIPHÉRIQUE [MPX5700AP|MPX4250AP]" \
      "Usage: $0 [--baud N] [--firmware FILE.hex] DEVICE [MPX5700AP|MPX4250AP]"
  exit 2
}

bauds=(115200 57600)
hex=
while (($#)); do
  case $1 in
    --baud) (($# >= 2)) && [[ $2 =~ ^[0-9]+$ ]] || usage; bauds=("$2"); shift 2 ;;
    --firmware) (($# >= 2)) || usage; hex=$2; shift 2 ;;
    -h|--help) usage ;;
    -*) usage ;;
    *) break ;;
  esac
done
(($# == 1 || $# == 2)) || usage
device=$1
sensor=${2:-MPX5700AP}
[[ $sensor == MPX5700AP || $sensor == MPX4250AP ]] || usage

if ! command -v avrdude >/dev/null; then
  say "avrdude n'est pas installé : sudo apt install avrdude" \
      "avrdude is not installed: sudo apt install avrdude"
  exit 1
fi
if [[ ! -e $device ]]; then
  say "Périphérique introuvable : $device. Branchez la carte ; elle apparaît souvent comme /dev/ttyACM0 (Uno) ou /dev/ttyUSB0 (Nano)." \
      "Device not found: $device. Plug the board in; it usually shows as /dev/ttyACM0 (Uno) or /dev/ttyUSB0 (Nano)."
  exit 1
fi
if [[ ! -r $device || ! -w $device ]]; then
  say "Accès refusé à $device : ajoutez votre compte au groupe dialout (sudo adduser ${USER:-$(id -un)} dialout), puis fermez la session et rouvrez-la." \
      "Permission denied on $device: add your user to the dialout group (sudo adduser ${USER:-$(id -un)} dialout), then log out and back in."
  exit 1
fi

here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)

if [[ -z $hex ]]; then
  if [[ -f $here/firmware/nelvar-box-$sensor.hex ]]; then
    # installed: the package's image, beside this script
    hex=$here/firmware/nelvar-box-$sensor.hex
  elif [[ -f $here/../firmware/CMakeLists.txt ]]; then
    # source tree: build what is missing or out of date
    source_dir=$(cd "$here/.." && pwd)
    if ! command -v avr-gcc >/dev/null; then
      say "avr-gcc est absent : lancez d'abord scripts/install-deps.sh." \
          "avr-gcc is missing: run scripts/install-deps.sh first."
      exit 1
    fi
    if [[ ! -f $source_dir/build/CMakeCache.txt ]]; then
      cmake -S "$source_dir" -B "$source_dir/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    fi
    cmake --build "$source_dir/build" --target firmware
    hex=$source_dir/build/firmware/nelvar-box-$sensor.hex
  fi
fi
if [[ -z $hex || ! -f $hex ]]; then
  say "Image du micrologiciel introuvable${hex:+ : $hex}." "Firmware image not found${hex:+: $hex}."
  exit 1
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
for baud in "${bauds[@]}"; do
  echo "avrdude -c arduino -p m328p -P $device -b $baud ($sensor)" >&2
  if avrdude -c arduino -p m328p -P "$device" -b "$baud" -D -U "flash:w:$hex:i" >"$log" 2>&1; then
    say "Micrologiciel $sensor chargé sur $device." "Firmware $sensor uploaded to $device."
    exit 0
  fi
done
cat "$log" >&2
say "Échec du chargement : la carte ne répond pas à son chargeur d'amorçage. Vérifiez qu'il s'agit d'une Uno ou d'une Nano et que le câble transmet les données." \
    "Upload failed: the board's bootloader does not answer. Check that it is an Uno or a Nano and that the cable carries data."
exit 1
