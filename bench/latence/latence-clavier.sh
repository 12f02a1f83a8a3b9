#!/usr/bin/env bash
# How fast the main window answers a key during a run, on a slow disk and
# with a silent measuring box; and whether the readings keep their one-second
# pace. A measurement, not a test: run it by hand, on a quiet machine, and
# write the figures in docs/developpement.md.
#
#   bench/latence/latence-clavier.sh [build-dir]     (default: build)
#
# Needs the build's nelvar and nelvar_fsync_shim targets, Xvfb, xdotool and
# python3; the silent-box case also needs the box's simulator
# (firmware/sim, built when simavr is installed).
#
# Cases, each a fresh program on the simulated card (or box) and a run:
#   disque normal     the journal's fsync as the disk gives it;
#   fsync + 1,5 s     every fsync 1.5 s slower (tests/support/FsyncShim.c);
#   boîtier muet      the simulated box stopped (SIGSTOP) during the run: the
#                     reading waits for its answer's 2 s margin, then fails.
# For each: key-press latencies (Alt+F until the menu is on the screen, see
# sonde_clavier.py), and from the journal the largest step between two
# readings' real times.
set -euo pipefail
export LC_ALL=C.UTF-8

racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$racine/build}" && pwd)
programme=$build/app/nelvar
shim=$build/tests/support/libnelvar_fsync_shim.so
simulateur=$build/firmware/sim/nelvar-box-sim
sonde=$racine/bench/latence/sonde_clavier.py
[[ -x $programme ]] || { echo "build the target nelvar first" >&2; exit 1; }
[[ -f $shim ]] || { echo "build the target nelvar_fsync_shim first" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
program_pid=
box_pid=
cleanup() {
  if [[ -n $program_pid ]]; then kill -9 "$program_pid" 2>/dev/null || true; fi
  if [[ -n $box_pid ]]; then kill -CONT "$box_pid" 2>/dev/null || true; kill "$box_pid" 2>/dev/null || true; fi
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=../../tests/e2e/Commun.sh
source "$racine/tests/e2e/Commun.sh"
start_xvfb

find_window() {
  window=$(xdotool search --onlyvisible --name "^Avancement d.une réaction chimique\." 2>/dev/null | head -n 1)
  [[ -n $window ]]
}
journal() { compgen -G "$XDG_DATA_HOME/nelvar/essais/essai_*.txt" | head -n 1; }
readings() {
  local file
  file=$(journal) || true
  [[ -n $file ]] || { echo 0; return; }
  awk 'seen { n++ } /^temps des ticks/ { seen = 1 } END { print n + 0 }' "$file"
}
at_least() { (($(readings) >= $1)); }
# The largest step between two readings' real times (column 2), in s.
largest_step() {
  awk -F'\t' 'seen { if (n++ && $2 - t > m) m = $2 - t; t = $2 } /^temps des ticks/ { seen = 1 }
              END { printf "%.3f s over %d readings", m, n }' "$(journal)"
}

# start <case> [env assignments...]: the program with a run started.
start() {
  local cas=$1
  shift
  export XDG_DATA_HOME=$work/$cas
  mkdir -p "$XDG_DATA_HOME"
  env "$@" "$programme" >"$work/$cas.log" 2>&1 &
  program_pid=$!
  poll 60 find_window || fail "no main window: $(cat "$work/$cas.log")"
  xdotool windowfocus --sync "$window"
  xdotool key alt+a
  poll 30 at_least 2 || fail "$cas: no readings in the journal"
}
quit() {
  xdotool windowfocus --sync "$window"
  xdotool key alt+a # stop
  xdotool key alt+f q
  wait "$program_pid" 2>/dev/null || true
  program_pid=
}
report() { # report <case> <probe output>
  echo "== $1"
  grep -E '^(median|max|count)' <<<"$2" | tr '\n' ' '
  echo
}

# --- Normal disk, then every fsync 1.5 s slower -------------------------------
for cas in normal lent; do
  if [[ $cas == normal ]]; then
    start normal NELVAR_PORTS=simulation
  else
    start lent NELVAR_PORTS=simulation LD_PRELOAD="$shim" NELVAR_FSYNC_DELAY_MS=1500 \
      NELVAR_FSYNC_LOG="$work/fsync.log"
  fi
  # 40 presses 0.37 s apart: they fall at every phase of the one-second tick.
  sortie=$(python3 "$sonde" "$window" 40 0.37)
  report "$cas: key-press latency (ms)" "$sortie"
  quit
  echo "   journal: largest step between readings $(largest_step)"
  [[ $cas == lent ]] && echo "   fsync calls slowed: $(wc -l <"$work/fsync.log")"
done

# --- A box that stops answering ------------------------------------------------
if [[ -x $simulateur ]]; then
  coproc BOX { exec "$simulateur" --sensor MPX5700AP --a0 851 2>"$work/box.log"; }
  box_pid=$BOX_PID
  read -r -t 30 -u "${BOX[0]}" terminal || fail "the simulated box gave no terminal"
  start muet NELVAR_PORTS="$terminal"
  poll 30 at_least 3 || fail "muet: no readings"
  kill -STOP "$box_pid"
  # The reading under way waits for its answer's 2 s margin: presses during
  # those seconds, 0.1 s apart, until the failure's box comes.
  sortie=$(python3 "$sonde" "$window" 30 0.1 1.9)
  report "boîtier muet: key-press latency (ms) while the reading waits" "$sortie"
  kill -CONT "$box_pid"
  kill -9 "$program_pid" 2>/dev/null || true
  program_pid=
else
  echo "== boîtier muet: skipped (no box simulator in $build/firmware/sim)"
fi
