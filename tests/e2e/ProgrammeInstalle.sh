#!/usr/bin/env bash
# End-to-end test: installs the program into a temporary prefix, starts it on
# a virtual X server (Xvfb, no window manager) with the simulated card, in a
# fresh working folder, and drives it only through the X server, as a user
# would: keys and mouse with xdotool, text through the X selections with
# xclip, pictures of the screen with ImageMagick's import.
#
#   ProgrammeInstalle.sh <cmake> <build-dir>
#
# What it checks, in order: the installed layout; the window maximised with
# its caption; the default fields; Alt+A starts a run and the voltage fields
# fill; after five ticks a save is refused, then Alt+A stops the run;
# Ctrl+S writes Valeurs/Mesures1.txt (bytes and layout); Ctrl+C, Ctrl+D and
# Ctrl+E show their note, Enter closes it, and the clipboard holds the
# table, read by another program; the columns agree with each other, with
# the voltages shown, with the default fields and the gas law; a left drag
# down-right zooms the pressure chart and one up-left undoes it; Alt+F then
# Q quits with exit code 0.
#
# Without a window manager nobody gives the keyboard back to the main window
# when a box closes: the test does it (xdotool windowfocus), as a user's
# click would. Waits are polls with generous deadlines, never fixed sleeps.
set -euo pipefail
export LC_ALL=C.UTF-8 # the program then starts with ',' as decimal separator; awk reads '.'
unset NELVAR_PORTS    # the simulated card

cmake_command=$1
build_dir=$2

# shellcheck source=Commun.sh
source "$(dirname "${BASH_SOURCE[0]}")/Commun.sh"
start_work

# --- Installed layout -------------------------------------------------------

prefix=$work/prefix
"$cmake_command" --install "$build_dir" --prefix "$prefix" >/dev/null ||
  fail "cmake --install (build the targets nelvar and nelvar_icons first)"
program=$prefix/bin/nelvar
[[ -x $program ]] || fail "no executable bin/nelvar"
desktop=$prefix/share/applications/nelvar.desktop
for line in "Exec=nelvar" "Icon=nelvar" "Categories=Education;Chemistry;" \
            "GenericName=Avancement d'une réaction chimique"; do
  grep -qxF "$line" "$desktop" || fail "desktop entry without '$line'"
done
for size in 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/nelvar.png
  [[ $(identify -format '%m %wx%h' "$icon") == "PNG ${size}x${size}" ]] || fail "icon $icon"
done
for doc in README.md copyright changelog.gz; do
  [[ -s $prefix/share/doc/nelvar/$doc ]] || fail "share/doc/nelvar/$doc missing"
done

# --- The virtual screen and the program -------------------------------------

start_xvfb

folder=$work/dossier # the folder the program is started from
mkdir "$folder"
cd "$folder"
"$program" >"$work/program.log" 2>&1 &
program_pid=$!

# The simulated card's caption names the virtual bench's reaction, here at
# its default settings.
caption="Avancement d'une réaction chimique. (carte simulée) — θ = 20 °C ; [H2O2]0 = 0,123 mol/L ; [I-] = 0,10 mol/L ; V solution = 50 mL ; V gaz = 250 mL"
find_window() {
  window=$(xdotool search --onlyvisible --name "^Avancement d.une réaction chimique\. \(carte simulée\)( — .*)?\$" 2>/dev/null | head -n 1)
  [[ -n $window ]]
}
poll 60 find_window || fail "no window captioned '$caption'"

[[ $(xprop -id "$window" _NET_WM_NAME) == "_NET_WM_NAME(UTF8_STRING) = \"$caption\"" ]] ||
  fail "caption: $(xprop -id "$window" _NET_WM_NAME)"

# Maximised: the window asks for both maximised states and, with no window
# manager or panel, covers the whole screen, its available area.
read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
geometry() { xwininfo -id "$window" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
                                           /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'; }
covers_screen() { [[ $(geometry) == "0 0 $screen_w $screen_h" ]]; }
poll 10 covers_screen || fail "window at $(geometry), screen ${screen_w}x$screen_h"
state=$(xprop -id "$window" _NET_WM_STATE)
[[ $state == *_NET_WM_STATE_MAXIMIZED_HORZ* && $state == *_NET_WM_STATE_MAXIMIZED_VERT* ]] || fail "state: $state"

focus_main() { xdotool windowfocus --sync "$window"; }
focus_main

# Defaults, at start (read_field reads the focused field as a user selects
# it): Alt+V focuses the volume field, Tab the next ones.
xdotool key alt+v
[[ $(read_field) == "0,25" ]] || fail "volume field: '$(read_field)'"
xdotool key Tab
[[ $(read_field) == "20" ]] || fail "temperature field: '$(read_field)'"
xdotool key Tab
[[ $(read_field) == "100000" ]] || fail "coefficient field: '$(read_field)'"
# Back to the button (tab order: button, volume, temperature, coefficient).
xdotool key shift+Tab shift+Tab shift+Tab

# --- A run ------------------------------------------------------------------

voltage_pattern='^-?[0-9]+(,[0-9]+)?(E-?[0-9]+)?$'
is_voltage() { [[ $1 =~ $voltage_pattern ]]; }

xdotool key alt+a
started=$EPOCHREALTIME
# During the run the three fields and the option group are disabled: Tab goes
# from the button straight to the channel 1 voltage field.
xdotool key Tab
first_u1=
read_first_voltage() {
  first_u1=$(read_field 0.3)
  is_voltage "$first_u1"
}
# The first tick comes one second after the start (the user sees it within
# two); the deadline leaves room for a loaded machine or a sanitizer build.
poll 8 read_first_voltage || fail "the voltage fields did not fill (channel 1: '$first_u1')"
filled_after=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }')
echo "voltage fields filled ${filled_after} s after Alt+A (first tick due at 1 s)"
xdotool key Tab
first_u2=$(read_field)
is_voltage "$first_u2" || fail "channel 2 voltage field: '$first_u2'"
xdotool key shift+Tab
# The pair is from the first tick when channel 1 still shows the same value;
# on a machine slow enough for a second tick in between, the first-point
# check below is left out.
first_pair=no
if [[ $(read_field) == "$first_u1" ]]; then first_pair=yes; fi

# Five ticks: five different channel 1 voltages (the signal rises by about
# 2.5 mV a second, well above the 6 digits shown).
ticks=1
last=$first_u1
count_ticks() {
  local value
  value=$(read_field 0.3)
  if is_voltage "$value" && [[ $value != "$last" ]]; then
    last=$value
    ticks=$((ticks + 1))
  fi
  ((ticks >= 5))
}
poll 60 count_ticks || fail "only $ticks ticks seen"

# Refused during the run: a save shows its box and writes nothing.
boxes() { xdotool search --onlyvisible --name '^nelvar$' 2>/dev/null || true; }
box_shown() { [[ -n $(boxes) ]]; }
box_gone() { [[ -z $(boxes) ]]; }
close_box() {
  xdotool windowfocus --sync "$(boxes | head -n 1)"
  xdotool key Return
  poll 10 box_gone || fail "the box did not close on Enter"
  focus_main
}
xdotool key ctrl+s
poll 10 box_shown || fail "no refusal box for Ctrl+S during the run"
close_box
[[ ! -e Valeurs/Mesures1.txt ]] || fail "a save during the run wrote a file"

xdotool key alt+a

# After the stop the fields are enabled again, and the run keeps what it
# showed. Alt+V focuses the volume field; the tab order then goes through
# the temperature, the coefficient, the option group and the two voltages.
xdotool key alt+v
xdotool key Tab Tab Tab Tab
u1=$(read_field)
xdotool key Tab
u2=$(read_field)
is_voltage "$u1" && is_voltage "$u2" || fail "voltages after the stop: '$u1' '$u2'"

# --- Save -------------------------------------------------------------------

xdotool key ctrl+s
poll 10 test -s Valeurs/Mesures1.txt || fail "Ctrl+S wrote no Valeurs/Mesures1.txt in the folder started from"
file=$folder/Valeurs/Mesures1.txt
header0=$'Date, en s\tTension sur la voie 1, en V\r'
[[ $(head -c 39 "$file") == "$header0" ]] || fail "file header: $(head -c 39 "$file" | od -c)"
[[ $(tail -c 3 "$file" | od -An -tx1 | tr -d ' \n') == 0d0d0a ]] || fail "the file does not end with CR CR LF"
[[ $(tr -cd '\n' <"$file" | wc -c) == 1 ]] || fail "line feeds inside the file"
[[ $(LC_ALL=C tr -d '\000-\177' <"$file" | wc -c) == 0 ]] || fail "bytes beyond ASCII in layout 0"
rows=$(($(tr -cd '\r' <"$file" | wc -c) - 2))
((rows >= 5)) || fail "$rows rows in the file"

# --- Copies -----------------------------------------------------------------

# copy <key> <expected header, UTF-8> <output file>: the note box first, then,
# once Enter has closed it, the clipboard as another program reads it.
copy() {
  local key=$1 header=$2 out=$3 bytes
  bytes=$(printf '%s' "$header" | wc -c)
  xdotool key "$key"
  poll 10 box_shown || fail "no note box for $key"
  close_box
  clipboard_has() {
    xclip -o -selection clipboard >"$out" 2>/dev/null && [[ $(head -c "$bytes" "$out") == "$header" ]]
  }
  poll 10 clipboard_has || fail "clipboard after $key: $(head -c 60 "$out" | od -c)"
}
copy ctrl+c "$header0" "$work/c.txt"
copy ctrl+d $'Date, en s\tTension sur la voie 2, en V\r' "$work/d.txt"
copy ctrl+e $'Fréquence en Hz\tModule de la FFT\r' "$work/e.txt"

# The pressure copy is the saved file without its final CR LF.
head -c -2 "$file" | cmp -s - "$work/c.txt" || fail "the pressure copy differs from the saved file"
# Programs that ask for Latin-1 text get the é as the single byte 0xE9, the
# same as in Windows-1252; the clipboard also offers the empty "Link" entry.
[[ $(xclip -o -selection clipboard -t STRING | head -c 3 | od -An -tx1 | tr -d ' \n') == 4672e9 ]] ||
  fail "Latin-1 text of the voltage copy"
xclip -o -selection clipboard -t TARGETS | grep -qx Link || fail "no Link entry on the clipboard"

# --- The numbers, to the digits shown ---------------------------------------

# Each table as one line per row, fields separated by TAB, commas as points.
table() { tr '\r' '\n' <"$1" | sed -e '1d' -e '/^$/d' -e 's/,/./g'; }
table "$file" >"$work/p.tsv"
table "$work/d.txt" >"$work/a.tsv"
table "$work/e.txt" >"$work/u.tsv"
[[ $(wc -l <"$work/a.tsv") == "$rows" && $(wc -l <"$work/u.tsv") == "$rows" ]] ||
  fail "the copies do not have the $rows rows of the file"

# V = 0.25 L, T = 20 + 273 K, R = 8.314, coefficient 100000 Pa/V, mode "Oui"
# (p = (U1 - U2) / 2 x coefficient). A value shown at 4 digits is within half
# a unit of its 4th digit of the true one; a voltage shown at 6 digits within
# half a unit of its 6th.
check=$(paste "$work/p.tsv" "$work/a.tsv" "$work/u.tsv" | awk -F '\t' \
  -v u1="${u1/,/.}" -v u2="${u2/,/.}" -v f1="${first_u1/,/.}" -v f2="${first_u2/,/.}" -v first_pair="$first_pair" '
  function half(x, digits,   e) {
    x = x < 0 ? -x : x
    if (x == 0) return 0
    e = int(log(x) / log(10) + 100) - 100
    if (10 ^ (e + 1) <= x) e++
    return 0.5 * 10 ^ (e - digits + 1)
  }
  function g4(x,   s) { s = sprintf("%.4g", x); sub(/e\+0*/, "E", s); sub(/e-0*/, "E-", s); return s }
  function bad(what) { print what; failed = 1; exit }
  BEGIN { V = 0.25 / 1000; T = 20 + 273; R = 8.314; k = 100000; molPerPa = V / (R * T) }
  {
    i = NR - 1
    if (NF != 6) bad("row " i ": " NF " fields")
    t = $1; p[i] = $2 + 0; ta = $3; a[i] = $4 + 0; f = $5; u[i] = $6 + 0
    if (t != g4(i * 1.00013) || ta != t) bad("row " i ": time " t " / " ta ", expected " g4(i * 1.00013))
    if (f != "0") bad("row " i ": frequency " f)
    # The voltage column is the pressure over the coefficient: the same digits.
    if (u[i] * k - p[i] > 1e-9 * p[i] || p[i] - u[i] * k > 1e-9 * p[i]) bad("row " i ": " p[i] " Pa but " u[i] " V")
    # The avancement from the pressures shown, within their rounding.
    expected = (p[i] - p[0]) * molPerPa
    tolerance = (half(p[i], 4) + half(p[0], 4)) * molPerPa + half(a[i], 4)
    if (a[i] - expected > tolerance || expected - a[i] > tolerance)
      bad("row " i ": avancement " a[i] ", from the pressures " expected " +- " tolerance)
    n = i
  }
  END {
    if (failed) exit 1
    if (a[0] != 0) bad("first avancement " a[0])
    # The last row is the last tick, whose voltages the fields still show at
    # 6 digits: (U1 - U2) / 2 within du volts, the pressure within du x k.
    ul = (u1 - u2) / 2
    dul = (half(u1, 6) + half(u2, 6)) / 2
    pl = ul * k
    if (p[n] - pl > half(p[n], 4) + dul * k || pl - p[n] > half(p[n], 4) + dul * k)
      bad("last pressure " p[n] ", fields give " pl)
    if (u[n] - ul > half(u[n], 4) + dul || ul - u[n] > half(u[n], 4) + dul)
      bad("last voltage " u[n] ", fields give " ul)
    if (first_pair == "yes") {
      # With the first tick read at 6 digits as well, the last avancement
      # from the gas law, to its 4th digit and the voltages rounding.
      duf = (half(f1, 6) + half(f2, 6)) / 2
      pf = (f1 - f2) / 2 * k
      if (p[0] - pf > half(p[0], 4) + duf * k || pf - p[0] > half(p[0], 4) + duf * k)
        bad("first pressure " p[0] ", fields gave " pf)
      expected = (pl - pf) * molPerPa
      tolerance = half(a[n], 4) + (dul + duf) * k * molPerPa
      if (a[n] - expected > tolerance || expected - a[n] > tolerance)
        bad("last avancement " a[n] ", from the voltages shown " expected " +- " tolerance)
    }
    print "ok"
  }') || true
[[ $check == ok ]] || fail "numbers: $check"
echo "run of $rows points: pressures, avancements, voltages and fields agree (first tick pair read: $first_pair)"

# --- Zoom and undo on the pressure chart ------------------------------------

# The left half of the screen above the run's controls holds the pressure
# chart; the other chart does not change meanwhile.
crop="$((screen_w / 2))x$((screen_h - 160))+0+0"
shot() { import -window root -crop "$crop" +repage "rgb:$1"; }
settled() { shot "$work/shot1.rgb" && shot "$work/shot2.rgb" && cmp -s "$work/shot1.rgb" "$work/shot2.rgb"; }
poll 20 settled || fail "the screen does not settle"
cp "$work/shot2.rgb" "$work/before.rgb"

drag() { # drag x0 y0 x1 y1 with the left button, in steps, as a hand moves
  local step
  xdotool mousemove --sync "$1" "$2" mousedown 1
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --sync $(($1 + ($3 - $1) * step / 8)) $(($2 + ($4 - $2) * step / 8))
  done
  xdotool mouseup 1
}
# Well inside the pressure chart's plot, about 100 × 200 pixels.
x0=$((screen_w * 8 / 100)) y0=$((screen_h * 40 / 100)) x1=$((screen_w * 16 / 100)) y1=$((screen_h * 60 / 100))
drag "$x0" "$y0" "$x1" "$y1"
zoomed() { settled && ! cmp -s "$work/shot2.rgb" "$work/before.rgb"; }
poll 20 zoomed || fail "a drag down-right did not zoom the pressure chart"
drag "$x1" "$y1" "$x0" "$y0"
undone() { settled && cmp -s "$work/shot2.rgb" "$work/before.rgb"; }
poll 20 undone || fail "a drag up-left did not give back the chart as it was before the zoom"
echo "zoom and undo: the chart changed, then came back pixel for pixel"

# --- Quit -------------------------------------------------------------------

focus_main
visible() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }
visible >"$work/windows"
menu_open() { [[ -n $(visible | comm -13 "$work/windows" -) ]]; }
xdotool key alt+f
poll 10 menu_open || fail "Alt+F opened no menu"
xdotool key q
exited() { ! kill -0 "$program_pid" 2>/dev/null; }
poll 30 exited || fail "Q in the Fichier menu did not end the program"
status=0
wait "$program_pid" || status=$?
program_pid=
((status == 0)) || fail "exit code $status; program output: $(cat "$work/program.log")"
echo "quit with exit code 0"
