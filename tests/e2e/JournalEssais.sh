#!/usr/bin/env bash
# End-to-end test of the run journal: the built program on a virtual X server
# with the simulated card and a private XDG_DATA_HOME, driven with xdotool.
#
#   JournalEssais.sh <nelvar>
#
# What it checks:
# 1. A run whose program is stopped (SIGSTOP) for 3 s, then killed (kill -9):
#    its journal holds every reading taken, each line whole (six numbers),
#    the stall shows in the real-time column and not in the tick times, and
#    `nelvar --analyse` reads the file with its own V and T.
# 2. A run whose journal's disk is full (a small tmpfs in a mount namespace
#    of the program's own): the failure is told once (one box), the run goes
#    on, and once space is freed the journal receives the whole run. Skipped
#    when no mount namespace can be made here.
set -euo pipefail
export LC_ALL=C.UTF-8 # awk reads '.'
unset NELVAR_PORTS    # the simulated card

program=$1

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  if [[ -n $program_pid ]]; then
    kill -CONT "$program_pid" 2>/dev/null || true
    kill -9 "$program_pid" 2>/dev/null || true
  fi
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=Commun.sh
source "$(dirname "${BASH_SOURCE[0]}")/Commun.sh"

start_xvfb
export XDG_DATA_HOME=$work/donnees
essais=$XDG_DATA_HOME/nelvar/essais

find_window() {
  window=$(xdotool search --onlyvisible --name "^Avancement d.une réaction chimique\." 2>/dev/null | head -n 1)
  [[ -n $window ]]
}
boxes() { xdotool search --onlyvisible --name '^nelvar$' 2>/dev/null || true; }
box_shown() { [[ -n $(boxes) ]]; }
box_gone() { [[ -z $(boxes) ]]; }

# The journal's one file in the folder $1 (default: $essais), and its
# reading lines (after the column header).
journal() { compgen -G "${1:-$essais}/essai_*.txt" | head -n 1; }
readings() {
  local file
  file=$(journal "${1:-}") || true
  if [[ -z $file ]]; then echo 0; return; fi
  awk 'seen { n++ } /^temps des ticks/ { seen = 1 } END { print n + 0 }' "$file"
}
at_least() { (($(readings "${2:-}") >= $1)); }

# Starts the program (with the given command in front, if any) and a run.
start_run() {
  "$@" "$program" >"$work/program.log" 2>&1 &
  program_pid=$!
  poll 60 find_window || fail "no main window; program output: $(cat "$work/program.log")"
  xdotool windowfocus --sync "$window"
  xdotool key alt+a
}

# --- 1. A stall, then kill -9 -----------------------------------------------

start_run
poll 20 at_least 3 || fail "the journal did not get 3 readings (it has $(readings))"
kill -STOP "$program_pid"
sleep 3 # the stall itself, as a PC that stops answering
kill -CONT "$program_pid"
before=$(readings)
poll 20 at_least $((before + 2)) || fail "no readings after the stall"
kill -9 "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=

file=$(journal)
[[ $(head -n 1 "$file") == "# format : journal d'essai nelvar 1" ]] || fail "first line: $(head -n 1 "$file")"
grep -qxF "# source : carte simulée" "$file" || fail "no source line"
[[ $(tail -c 1 "$file" | od -An -c | tr -d ' ') == '\n' ]] || fail "the last line is cut"
# Every reading whole; the tick times a tick apart, the real times with one
# gap of about 3 s more.
awk -F '\t' '
  seen {
    n++
    if (NF != 6) { print "line " NR ": " NF " fields"; bad = 1 }
    for (i = 1; i <= 6; i++) if ($i !~ /^-?[0-9]+(\.[0-9]+)?(e[-+][0-9]+)?$/) { print "line " NR ": " $i; bad = 1 }
    if (n > 1) {
      dt = $1 - t; if (dt < 1.0001 || dt > 1.0002) { print "tick step " dt; bad = 1 }
      dr = $2 - r; if (dr > 2.5) gaps++
    } else if ($1 != 0 || $2 != 0) { print "first reading at " $1 ", " $2; bad = 1 }
    t = $1; r = $2
  }
  /^temps des ticks \(s\)\ttemps réel \(s\)\tpression \(Pa\)/ { seen = 1 }
  END { if (gaps != 1) { print gaps + 0 " gaps"; bad = 1 }; exit bad }' "$file" >"$work/awk.log" ||
  fail "journal lines: $(cat "$work/awk.log")"

# Read back by --analyse, with the file's V and T: an extent is given, or,
# for a run this short, k is said undetermined for too few points (never for
# an unknown volume or temperature).
"$program" --analyse "$file" >"$work/analyse.txt" 2>"$work/analyse.err" || fail "--analyse: $(cat "$work/analyse.err")"
awk -F '\t' 'NR == 2 { exit !($2 >= 5 && $10 != "" && ($13 != "" || $16 ~ /^Trop peu de points/) && $16 !~ /inconnu/) }' "$work/analyse.txt" ||
  fail "--analyse gave no extent: $(cat "$work/analyse.txt")"
echo "journal after kill -9: $(readings) readings, the stall in the real times"

# --- 2. A full disk -----------------------------------------------------------

rm -rf "$essais"
mkdir -p "$essais"
namespace=(unshare -m --propagation private)
((EUID == 0)) || namespace=(unshare -rm --propagation private)
if ! "${namespace[@]}" sh -c "mount -t tmpfs -o size=64k tmpfs '$essais'" 2>/dev/null; then
  echo "SKIPPED: no mount namespace here for a small tmpfs"
  exit 0
fi
# The tmpfs filled to its last byte before the program starts.
start_run "${namespace[@]}" sh -c "mount -t tmpfs -o size=64k tmpfs '$essais' &&
  dd if=/dev/zero of='$essais/.plein' bs=4096 2>/dev/null; exec \"\$0\""
poll 20 box_shown || fail "no box for the full disk"
# Its text is checked by the journal's own tests (JournalEssaiTest.cpp).
xdotool windowfocus --sync "$(boxes | head -n 1)"
xdotool key Return
poll 10 box_gone || fail "the box did not close on Enter"
xdotool windowfocus --sync "$window"

# Three more ticks on the full disk: the voltage field (Tab from the button)
# changes at each; a second box would hold the keyboard and stop the count.
xdotool key Tab
ticks=0
last=
count_ticks() {
  local value
  value=$(read_field 0.3)
  if [[ -n $value && $value != "$last" ]]; then
    last=$value
    ticks=$((ticks + 1))
  fi
  ((ticks >= 4))
}
poll 30 count_ticks || fail "only $ticks ticks seen on the full disk"
box_gone || fail "a second box for the full disk"

# Space freed: the next reading writes the whole run, every tick from 0.
root=/proc/$program_pid/root
rm "$root$essais/.plein"
poll 20 at_least 5 "$root$essais" || fail "the journal was not written once space was freed"
awk -F '\t' 'seen { if ($1 < t - 1e-9 || $1 > t + 1e-9) { print "tick " $1 " for " t; exit 1 }; t += 1.00013 }
             /^temps des ticks/ { seen = 1 }' "$(journal "$root$essais")" || fail "readings lost on the full disk"
box_gone || fail "a box once space was freed"
echo "full disk told once; the whole run written once space was freed"
