#!/usr/bin/env bash
# End-to-end test of the analysis window: the program (the build's, with the
# simulated card) on a virtual X server, in a fresh working folder with a
# private home, driven as a user would with xdotool and xclip.
#
#   AnalyseEssai.sh <build-dir>
#
# A demonstration run of about ten ticks, Alt+A again to stop, Ctrl+S
# (Valeurs/Mesures1.txt in the folder started from), Ctrl+L opens the window
# "Analyse de l'essai", Ctrl+C there puts the command line's header and the
# run's row on the clipboard, Alt+M the window's points with 6 digits. Then:
#   1. the saved file is those points rounded to 4 significant digits;
#   2. the row is `nelvar --analyse --volume 0,25 --temperature 20` of those
#      points (written with their 6 digits), within what that rounding moves;
#   3. the row agrees with `nelvar --analyse` on the saved file within what
#      its 4-digit rounding moves (a loose bound on a run this short, where
#      100 Pa steps weigh on a fit of ten points).
# "What a rounding moves": points equal; the interval's ends within the
# times' rounding; R² within the bounds that the rounding e of the pressures
# (|e| ≤ √n·δ, δ half a unit of their last digit) sets on both sums of
# squares; k, t½, p finale and x finale within 2·|e|/s·u, the first-order
# bound |e|·sqrt((JᵀJ)⁻¹)ⱼⱼ = |e|/s·u of a least-squares parameter doubled
# for the rest (s the residuals' standard deviation from R² and the
# pressures, u the row's uncertainty), x finale also with the first point's
# own rounding; the same remark.
# Waits are polls with deadlines, never fixed sleeps.
set -euo pipefail
export LC_ALL=C.UTF-8 # the program then starts with ',' as decimal separator; awk reads '.'
unset NELVAR_PORTS    # the simulated card

build_dir=$(cd "$1" && pwd)
program=$build_dir/app/nelvar
[[ -x $program ]] || { echo "FAILED: no $program (build the target nelvar)" >&2; exit 1; }

# shellcheck source=Commun.sh
source "$(dirname "${BASH_SOURCE[0]}")/Commun.sh"
start_work

# Nothing of the user's: a home and data folders of the test's own.
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$HOME"
start_xvfb
folder=$work/dossier
mkdir "$folder"
cd "$folder"
"$program" >"$work/program.log" 2>&1 &
program_pid=$!

find_main() {
  main=$(xdotool search --onlyvisible --name "^Avancement d.une réaction chimique" 2>/dev/null | head -n 1)
  [[ -n $main ]]
}
poll 60 find_main || fail "no main window"
xdotool windowfocus --sync "$main"

# --- A run of about ten ticks -------------------------------------------------

# The voltage field of channel 1 changes at each tick (the signal rises by
# about 2.5 mV a second, well above its 6 digits).
xdotool key alt+a
xdotool key Tab # the button, then the voltage field: the others are disabled
ticks=0
last=
count_ticks() {
  local value
  value=$(read_field 0.3)
  if [[ $value =~ ^-?[0-9] && $value != "$last" ]]; then
    last=$value
    ticks=$((ticks + 1))
  fi
  ((ticks >= 10))
}
poll 60 count_ticks || fail "only $ticks ticks seen"
xdotool key alt+a

xdotool key ctrl+s
file=$folder/Valeurs/Mesures1.txt
poll 10 test -s "$file" || fail "Ctrl+S wrote no $file"

# --- The analysis window and its copy -------------------------------------------

xdotool key ctrl+l
find_analysis() {
  analysis=$(xdotool search --onlyvisible --name "^Analyse de l.essai – Essai 1\$" 2>/dev/null | head -n 1)
  [[ -n $analysis ]]
}
poll 20 find_analysis || fail "Ctrl+L opened no window 'Analyse de l'essai – Essai 1'"
xdotool windowfocus --sync "$analysis"
header=$(printf 'fichier\tpoints\t')
printf 'rien' | xclip -i -selection clipboard
copied() {
  xclip -o -selection clipboard >"$work/fenetre.txt" 2>/dev/null && [[ $(head -c ${#header} "$work/fenetre.txt") == "$header" ]]
}
xdotool key ctrl+c
poll 10 copied || fail "Ctrl+C in the analysis window copied: $(head -c 80 "$work/fenetre.txt")"

# Alt+M: the whole table, its pressures with 6 digits.
table_header=$(printf 't (s)\tp (Pa)\t')
table_copied() {
  xclip -o -selection clipboard >"$work/tableau.txt" 2>/dev/null &&
    [[ $(head -c ${#table_header} "$work/tableau.txt") == "$table_header" ]]
}
xdotool key alt+m
poll 10 table_copied || fail "Alt+M copied: $(head -c 80 "$work/tableau.txt")"

# The points: the window's (6 digits) and the file's (4), t and p a line.
sed -e '1d' -e 's/,/./g' "$work/tableau.txt" | cut -f 1,2 >"$work/points6.tsv"
tr '\r' '\n' <"$file" | sed -e '1d' -e '/^$/d' -e 's/,/./g' | cut -f 1,2 >"$work/points4.tsv"
[[ $(wc -l <"$work/points6.tsv") == "$(wc -l <"$work/points4.tsv")" ]] || fail "the file and the window's table differ in rows"

# The same analysis functions in awk: half a unit of a digit; the
# comparison of two rows (window, command line) given their points.
awk_common='
  function abs(x) { return x < 0 ? -x : x }
  function half(x, digits,   e) {
    x = abs(x)
    if (x == 0) return 0
    e = int(log(x) / log(10) + 100) - 100
    if (10 ^ (e + 1) <= x) e++
    return 0.5 * 10 ^ (e - digits + 1)
  }
  function bad(what) { print what; failed = 1; exit }
'
# The window dates each reading by its real time, the file by the tick
# count: the two differ by less than a late reading's 0.25 s.
paste "$work/points6.tsv" "$work/points4.tsv" | awk -F '\t' "$awk_common"'
  { if (abs($1 - $3) > 0.25 + half($3, 4) + half($1, 6) || abs($2 - $4) > half($4, 4) + half($2, 6))
      bad("row " NR ": window " $1 " " $2 ", file " $3 " " $4) }
  END { if (!failed) print "ok" }' >"$work/rounding.txt" || true
[[ $(cat "$work/rounding.txt") == ok ]] || fail "the saved file is not the window's points rounded: $(cat "$work/rounding.txt")"

# The window's points as a saved run of the program's layout, 6 digits.
{
  printf 'Date, en s\tTension sur la voie 1, en V\r'
  sed 's/\./,/g' "$work/points6.tsv" | tr '\n' '\r'
} >"$work/points6.txt"
analyse() {
  "$program" --analyse --volume 0,25 --temperature 20 "$1" >"$2" 2>"$work/analyse.err" ||
    fail "nelvar --analyse $1: $(cat "$work/analyse.err")"
  [[ $(head -n 1 "$work/fenetre.txt") == "$(head -n 1 "$2")" ]] || fail "the copy's header differs"
}
analyse "$work/points6.txt" "$work/ligne6.txt"
analyse "$file" "$work/ligne4.txt"
journal=$(ls "$XDG_DATA_HOME"/nelvar/essais/essai_*.txt 2>/dev/null | head -n 1)
[[ -n $journal ]] || fail "the run left no journal in $XDG_DATA_HOME/nelvar/essais"
analyse "$journal" "$work/ligneJ.txt"
[[ $(wc -l <"$work/fenetre.txt") == 2 ]] || fail "the copy is not a header and one row"
echo "window:                $(sed -n 2p "$work/fenetre.txt")"
echo "its points, 6 digits:  $(sed -n 2p "$work/ligne6.txt")"
echo "saved file, 4 digits:  $(sed -n 2p "$work/ligne4.txt")"
echo "the run's journal:     $(sed -n 2p "$work/ligneJ.txt")"

# compare <command line's row> <points> <digits>: prints "ok ..." or what differs.
compare() {
  (sed -n 2p "$work/fenetre.txt"; sed -n 2p "$1") | sed 's/,/./g' |
  awk -F '\t' -v points="$2" -v digits="$3" "$awk_common"'
  # Both rows are written with 6 significant digits.
  function near(name, a, b, tolerance) {
    tolerance += half(a, 6) + half(b, 6)
    if (abs(a - b) > tolerance) bad(name ": window " a ", command line " b ", allowed " tolerance)
  }
  NR == 1 { for (i = 1; i <= NF; i++) w[i] = $i; next }
  NR == 2 { for (i = 1; i <= NF; i++) c[i] = $i }
  END {
    if (failed) exit 1
    # fichier points debut fin k u(k) t1/2 u(t1/2) t1/2g pa pInf u(pInf) x u(x) R2 remarque
    n = c[2] + 0
    if (w[2] != c[2]) bad("points: " w[2] " and " c[2])
    while ((getline line < points) > 0) {
      split(line, field, "\t"); p = field[2] + 0
      m++; sum += p; sq += p * p
      if (half(p, digits) > delta) delta = half(p, digits)
    }
    if (m != n) bad(m " points for " n)
    near("debut (s)", w[3], c[3], half(c[3], digits))
    near("fin (s)", w[4], c[4], half(c[4], digits))
    sst = sq - sum * sum / n
    r2 = c[15] + 0
    ssr = (1 - r2) * sst
    s = sqrt(ssr / (n - 3))
    e = sqrt(n) * delta
    f = 2 * e / s
    near("k", w[5], c[5], f * c[6])
    near("t1/2", w[7], c[7], f * c[8])
    near("p finale", w[11], c[11], f * c[12])
    near("x finale", w[13], c[13], f * c[14] + delta * 0.25e-3 / (8.314 * 293))
    lo = 1 - (sqrt(ssr) + e) ^ 2 / (sqrt(sst) - e) ^ 2
    hi = 1 - (sqrt(ssr) > e ? sqrt(ssr) - e : 0) ^ 2 / (sqrt(sst) + e) ^ 2
    if (w[15] + half(w[15], 6) < lo || w[15] - half(w[15], 6) > hi) bad("R2 " w[15] " outside [" lo ", " hi "]")
    if (w[16] != c[16]) bad("remark: " w[16] " and " c[16])
    printf "ok (s = %.1f Pa, pressures rounded by up to %g Pa, k within %.2g)\n", s, delta, f * c[6]
  }' || true
}
check=$(compare "$work/ligne6.txt" "$work/points6.tsv" 6)
[[ $check == ok* ]] || fail "the row against the analysis of its own points: $check"
echo "the window's row is nelvar --analyse of its points: $check"
# The saved file dates its rows by the tick count, the window by the real
# times: the run's journal holds both, and its analysis is the window's.
check=$(compare "$work/ligneJ.txt" "$work/points6.tsv" 6)
[[ $check == ok* ]] || fail "the row against the analysis of the run's journal: $check"
echo "the window's row is nelvar --analyse of the run's journal: $check"
