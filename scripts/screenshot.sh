#!/usr/bin/env bash
# Starts the program under a virtual X server of 1280 × 1024 and saves a
# picture of the screen, to see the window as a user sees it.
#
#   scripts/screenshot.sh [-o picture.png] [-r seconds] [-b build-dir]
#
#   -o  where to save the picture (default: screenshot.png)
#   -r  start a measurement run (Alt+A, on the simulated card) and take the
#       picture that many seconds later; without it the picture shows the
#       window at start
#   -b  the build directory holding app/nelvar (default: build; it is built
#       there when missing)
#
# NELVAR_ARGS, when set, adds arguments to the program's command line (Qt's
# own options; the program reads none itself).
#
# Needs xvfb-run, xdotool and ImageMagick's import (scripts/install-deps.sh
# installs them). No window manager runs on the virtual screen: the window has
# no frame, and the program itself covers the screen's available area.
set -euo pipefail
cd "$(dirname "$0")/.."

output=screenshot.png
run_seconds=
build_dir=build
while getopts "o:r:b:" option; do
  case $option in
    o) output=$OPTARG ;;
    r) run_seconds=$OPTARG ;;
    b) build_dir=$OPTARG ;;
    *) sed -n '2,21p' "$0" >&2; exit 2 ;;
  esac
done

program=$build_dir/app/nelvar
if [[ ! -x $program ]]; then
  cmake -S . -B "$build_dir" -G Ninja >/dev/null
  cmake --build "$build_dir" --target nelvar
fi
case $output in /*) ;; *) output=$PWD/$output ;; esac

export NELVAR_PROGRAM=$PWD/$program NELVAR_OUTPUT=$output NELVAR_RUN_SECONDS=$run_seconds
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  QT_QPA_PLATFORM=xcb "$NELVAR_PROGRAM" ${NELVAR_ARGS:-} &
  program_pid=$!
  trap "kill $program_pid 2>/dev/null || true" EXIT
  window=$(timeout 30 xdotool search --sync --name "Avancement d.une réaction chimique" | head -n 1)
  # Let the window take the screen and paint itself.
  sleep 1
  if [[ -n $NELVAR_RUN_SECONDS ]]; then
    # No window manager gives the window the keyboard: give it ourselves.
    xdotool windowfocus --sync "$window"
    xdotool key alt+a
    sleep "$NELVAR_RUN_SECONDS"
  fi
  import -window root "$NELVAR_OUTPUT"
'
echo "Saved $output"
