#!/usr/bin/env bash
# End-to-end test with the measuring box: the box's real firmware runs on the
# simulated microcontroller (nelvar-box-sim) behind a pseudo-terminal, and the
# installed program, started on a virtual X server with NELVAR_PORTS set to
# that terminal, measures through it as a user drives it with xdotool.
#
#   BoitierSimule.sh <cmake> <build-dir> <nelvar-box-sim>
#
# What it checks: the window opens on the box, its caption naming it; during a run the channel 1
# field follows the voltage driven on A0 (two voltages, one after the
# other); after the stop, Ctrl+S writes Valeurs/Mesures1.txt, whose pressures
# are those the two voltages mean through the MPX5700AP, within the
# converter's step, in the order they were driven. (The window's and the
# card's tests check a box unplugged during a run.)
set -euo pipefail
export LC_ALL=C.UTF-8 # the program then starts with ',' as decimal separator; awk reads '.'

cmake_command=$1
build_dir=$2
simulator=$3

work=$(mktemp -d)
xvfb_pid=
program_pid=
box_pid=
cleanup() {
  if [[ -n $program_pid ]]; then kill "$program_pid" 2>/dev/null || true; fi
  if [[ -n $box_pid ]]; then kill "$box_pid" 2>/dev/null || true; fi
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=Commun.sh
source "$(dirname "${BASH_SOURCE[0]}")/Commun.sh"

# --- The box ----------------------------------------------------------------

# Its control lines on its stdin, its answers ("ok") on its stdout; the
# first line out is the terminal's path.
coproc BOX { exec "$simulator" --sensor MPX5700AP --a0 851 2>"$work/box.log"; }
box_pid=$BOX_PID
exec {box_in}>&"${BOX[1]}" {box_out}<&"${BOX[0]}"
read -r -t 30 -u "$box_out" terminal || fail "the simulated box gave no terminal: $(cat "$work/box.log")"
[[ -c $terminal ]] || fail "the simulated box's terminal '$terminal' is not a device"
box() {
  local answer
  echo "$1" >&"$box_in"
  read -r -t 30 -u "$box_out" answer && [[ $answer == ok ]] || fail "the simulated box answered '$answer' to '$1'"
}

# --- The program on the box -------------------------------------------------

prefix=$work/prefix
"$cmake_command" --install "$build_dir" --prefix "$prefix" >/dev/null ||
  fail "cmake --install (build the targets nelvar and nelvar_icons first)"
start_xvfb
folder=$work/dossier
mkdir "$folder"
cd "$folder"
NELVAR_PORTS=$terminal "$prefix/bin/nelvar" >"$work/program.log" 2>&1 &
program_pid=$!

find_window() {
  window=$(xdotool search --onlyvisible --name "^Avancement d.une réaction chimique\." 2>/dev/null | head -n 1)
  [[ -n $window ]]
}
poll 60 find_window || fail "no main window; program output: $(cat "$work/program.log")"
# The caption names the box and its sensor.
caption="Avancement d'une réaction chimique. (boîtier USB, capteur MPX5700AP)"
[[ $(xprop -id "$window" _NET_WM_NAME) == "_NET_WM_NAME(UTF8_STRING) = \"$caption\"" ]] ||
  fail "caption: $(xprop -id "$window" _NET_WM_NAME)"
focus_main() { xdotool windowfocus --sync "$window"; }
focus_main

# --- A run through two voltages ---------------------------------------------

# The pressure in Pa that A0 at `mv` millivolts means through the MPX5700AP
# (Vout/Vs = 0.0012858 x P[kPa] + 0.04, Vs = 5 V), and the tolerance of
# two converter steps (1/1024 of the supply each).
pascals() { awk -v mv="$1" 'BEGIN { printf "%.1f", (mv / 5000 - 0.04) / 0.0012858 * 1000 }'; }
tolerance=$(awk 'BEGIN { printf "%.1f", 2 / 1024 / 0.0012858 * 1000 }')
# Channel 1 shows the pressure at 1 V per 100 000 Pa.
shows() { # shows <field text> <mV>
  awk -v u="${1/,/.}" -v p="$(pascals "$2")" -v t="$tolerance" \
    'BEGIN { exit !(u ~ /^[0-9.]+$/ && (u * 100000 - p) ^ 2 <= t ^ 2) }'
}

xdotool key alt+a
# During the run the fields a run reads are greyed: Tab goes from the button
# to the channel 1 voltage field.
xdotool key Tab
for mv in 851 3000; do
  box "a0 $mv"
  field_shows() { u1=$(read_field 0.3); shows "$u1" "$mv"; }
  poll 20 field_shows || fail "channel 1 shows '$u1' with A0 at $mv mV ($(pascals "$mv") Pa)"
  echo "A0 at $mv mV: channel 1 shows $u1 V ($(pascals "$mv") Pa +- $tolerance)"
done
xdotool key alt+a

xdotool key ctrl+s
file=$folder/Valeurs/Mesures1.txt
poll 10 test -s "$file" || fail "Ctrl+S wrote no Valeurs/Mesures1.txt"
# Rows "time TAB pressure TAB ..." after the header; the pressures, in order,
# must each be one of the two voltages', the first then the second.
check=$(tr '\r' '\n' <"$file" | sed -e '1d' -e '/^$/d' -e 's/,/./g' | awk -F '\t' \
  -v p1="$(pascals 851)" -v p2="$(pascals 3000)" -v t="$tolerance" '
  function near(x, y) { return (x - y) ^ 2 <= (t + 0.0005 * y) ^ 2 } # 4 digits shown
  {
    level = near($2, p1) ? 1 : near($2, p2) ? 2 : 0
    if (level == 0) { print "row " NR ": pressure " $2 " Pa is none of the driven ones"; exit 1 }
    if (level < last) { print "row " NR ": pressure " $2 " Pa goes back"; exit 1 }
    seen[level] = 1; last = level
  }
  END { if (!(1 in seen) || !(2 in seen)) { print "not both voltages in the file"; exit 1 }; print "ok" }') || true
[[ $check == ok ]] || fail "saved pressures: $check"
echo "saved file: $(($(tr -cd '\r' <"$file" | wc -c) - 2)) rows, pressures of the two driven voltages in order"
