# Helpers of the end-to-end tests, sourced by each script: polls with a
# deadline, the virtual X server, and the fields read as a user reads them.
# The script sets `work` (its temporary folder) first, or calls start_work.

# start_work: a temporary folder `work`, removed at exit with the Xvfb
# server and the program the script started (xvfb_pid, program_pid) stopped.
start_work() {
  work=$(mktemp -d)
  xvfb_pid=
  program_pid=
  trap 'stop_work' EXIT
}
stop_work() {
  if [[ -n $program_pid ]]; then kill "$program_pid" 2>/dev/null || true; fi
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}

# fail <message...>: ends the test with the message.
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# poll <seconds> <command...>: runs the command until it succeeds; fails
# (status 1) when the deadline passes first.
poll() {
  local deadline
  deadline=$(awk -v now="$EPOCHREALTIME" -v d="$1" 'BEGIN { printf "%.3f", now + d }')
  shift
  until "$@"; do
    if awk -v now="$EPOCHREALTIME" -v d="$deadline" 'BEGIN { exit !(now > d) }'; then return 1; fi
    sleep 0.05
  done
}

# Starts Xvfb, which picks a free display itself and writes its number when
# it is ready, and points DISPLAY and Qt at it. Sets xvfb_pid.
# -noreset: by default the server resets when its last client leaves, and a
# connection made during the reset is dropped. The polls for the window are
# such clients (each xdotool connects and leaves) while the program starts:
# a program connecting then could not open the display, and Qt aborted it.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  poll 30 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=:$(head -n 1 "$work/display")
  export QT_QPA_PLATFORM=xcb
}

# The focused field's text, as a user selects it (Home, Shift+End) and pastes
# it elsewhere: through the PRIMARY selection. A marker is placed there first
# so that the field's own text is told apart from an older selection. An
# empty field selects nothing and leaves the marker: that gives "".
marker="@marker@$$"
primary() { xclip -o -selection primary 2>/dev/null || true; }
primary_taken() { [[ $(primary) != "$marker" ]]; }
read_field() {
  printf '%s' "$marker" | xclip -i -selection primary >/dev/null 2>&1
  xdotool key Home shift+End
  if poll "${1:-10}" primary_taken; then primary; fi
}
