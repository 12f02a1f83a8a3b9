#!/usr/bin/env bash
# flash-box.sh against a stand-in avrdude that records its arguments and
# answers only at the speeds it is told: the speeds tried in order, the image
# chosen for the sensor (installed layout), and the refusals before any
# upload. Usage: FlashBox.sh <flash-box.sh>
set -uo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The installed layout: the script with the images beside it.
mkdir -p "$work/bin" "$work/share/firmware"
cp "$script" "$work/share/flash-box.sh"
for sensor in MPX5700AP MPX4250AP; do echo ":00000001FF" >"$work/share/firmware/nelvar-box-$sensor.hex"; done
cat >"$work/bin/avrdude" <<'FAKE'
#!/usr/bin/env bash
echo "$*" >>"$AVRDUDE_LOG"
[[ " $* " == *" -b $AVRDUDE_ANSWERS_AT "* ]]
FAKE
chmod +x "$work/bin/avrdude"
device=$work/ttyACM0
touch "$device"
export AVRDUDE_LOG=$work/calls PATH=$work/bin:$PATH

run() { # <answering speed> <arguments...>: sets status, output, calls
  rm -f "$AVRDUDE_LOG"; touch "$AVRDUDE_LOG"
  output=$(AVRDUDE_ANSWERS_AT=$1 bash "$work/share/flash-box.sh" "${@:2}" 2>&1); status=$?
  calls=$(cat "$AVRDUDE_LOG")
}

# A Nano's old bootloader: 115200 fails, 57600 uploads the MPX4250AP image.
run 57600 "$device" MPX4250AP
[[ $status == 0 ]] || fail "old bootloader: status $status"
expected="-c arduino -p m328p -P $device -b 115200 -D -U flash:w:$work/share/firmware/nelvar-box-MPX4250AP.hex:i
-c arduino -p m328p -P $device -b 57600 -D -U flash:w:$work/share/firmware/nelvar-box-MPX4250AP.hex:i"
[[ $calls == "$expected" ]] || fail "old bootloader: calls were: $calls"

# An Uno: one call, the default sensor's image.
run 115200 "$device"
[[ $status == 0 && $calls == *"-b 115200 -D -U flash:w:$work/share/firmware/nelvar-box-MPX5700AP.hex:i" ]] ||
  fail "uno: status $status, calls: $calls"
[[ $(wc -l <<<"$calls") == 1 ]] || fail "uno: more than one call"

# A forced speed is the only one tried; no answer at all is a failure in French.
run 0 --baud 57600 "$device"
[[ $status == 1 && $calls == *"-b 57600 "* && $(wc -l <<<"$calls") == 1 ]] || fail "forced speed: $status, $calls"
[[ $output == *"Échec du chargement"* ]] || fail "no failure message: $output"

# Refused before avrdude runs: a missing device, an unknown sensor.
run 115200 "$work/ttyUSB9"
[[ $status == 1 && -z $calls && $output == *"Périphérique introuvable : $work/ttyUSB9"* ]] ||
  fail "missing device: $status, $output"
run 115200 "$device" MPX9999
[[ $status == 2 && -z $calls && $output == *"Utilisation"* ]] || fail "unknown sensor: $status"

exit $((failures > 0))
