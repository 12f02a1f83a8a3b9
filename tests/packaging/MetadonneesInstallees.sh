#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what the package
# carries beside the program: each file in its place, the desktop entry and
# the AppStream description accepted by their validators, the manual page
# formatted without a warning, the changelog and manual page compressed
# without a time stamp, the changelog's latest entry at the project's
# version, the copyright file in the machine-readable format with LICENSE's
# holder and notice, and the icons at their sizes.
#
#   MetadonneesInstallees.sh <cmake> <build-dir> <source-dir> <version> <source-archive>
set -euo pipefail
export LC_ALL=C.UTF-8

cmake_command=$1
build_dir=$2
source_dir=$3
version=$4
archive=$5

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
"$cmake_command" --install "$build_dir" --prefix "$prefix" >/dev/null

doc=$prefix/share/doc/nelvar
for file in bin/nelvar share/applications/nelvar.desktop share/metainfo/org.example.nelvar.metainfo.xml \
            share/man/man1/nelvar.1.gz share/icons/hicolor/scalable/apps/nelvar.svg \
            share/doc/nelvar/README.md share/doc/nelvar/copyright share/doc/nelvar/changelog.gz; do
  [[ -s $prefix/$file ]] || fail "$file missing"
done

output=$(desktop-file-validate "$prefix/share/applications/nelvar.desktop" 2>&1) || fail "desktop entry refused"
[[ -z $output ]] || fail "desktop-file-validate: $output"

metainfo=$prefix/share/metainfo/org.example.nelvar.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/appstream" 2>&1 || fail "appstreamcli: $(cat "$work/appstream")"
# The description launches the installed desktop entry and shows a picture
# kept in the source tree under the name its address ends with.
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[[ -n $launchable && -f $prefix/share/applications/$launchable ]] || fail "launchable '$launchable' not installed"
picture=$(sed -n 's:.*<image>.*/\([^/]*\)</image>.*:\1:p' "$metainfo")
[[ -n $picture && -s $source_dir/packaging/screenshots/$picture ]] || fail "screenshot '$picture' not in packaging/screenshots"

for gzipped in "$prefix/share/man/man1/nelvar.1.gz" "$doc/changelog.gz"; do
  gzip -t "$gzipped" || fail "$gzipped is not gzip"
  # Bytes 4 to 7 of a gzip header hold the time stamp.
  [[ $(od -An -tu4 -j4 -N4 "$gzipped" | tr -d ' ') == 0 ]] || fail "$gzipped carries a time stamp"
done

warnings=$(man --warnings -E UTF-8 -l -Tutf8 -Z "$prefix/share/man/man1/nelvar.1.gz" 2>&1 >/dev/null) ||
  fail "man cannot format the page"
[[ -z $warnings ]] || fail "man: $warnings"
page=$(MANWIDTH=200 man -l "$prefix/share/man/man1/nelvar.1.gz" 2>/dev/null)
for text in NELVAR_PORTS --analyse "CODE DE RETOUR" "Valeurs/Mesures1.txt" "/usr/share/doc/nelvar/$archive"; do
  grep -qF -- "$text" <<<"$page" || fail "manual page without '$text'"
done

[[ $(zcat "$doc/changelog.gz" | head -n 1) == "nelvar ($version) "* ]] ||
  fail "changelog's latest entry: $(zcat "$doc/changelog.gz" | head -n 1), project at $version"

copyright=$doc/copyright
[[ $(head -n 1 "$copyright") == "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ]] ||
  fail "copyright file not in the machine-readable format"
holder=$(sed -n 's/^Copyright (c) //p' "$source_dir/LICENSE")
grep -qxF "Copyright: $holder" "$copyright" || fail "copyright without 'Copyright: $holder'"
# The licence paragraph (the last "License: Expat"), its lines unindented and
# " ." made empty again, is LICENSE's notice from "Permission" on.
awk '/^License: Expat$/ { start = NR } { line[NR] = $0 } END { for (i = start + 1; i <= NR; i++) print line[i] }' \
  "$copyright" | sed -e 's/^ \.$//' -e 's/^ //' >"$work/notice"
sed -n '/^Permission is hereby granted/,$p' "$source_dir/LICENSE" >"$work/expected"
diff -u "$work/expected" "$work/notice" >&2 || fail "copyright's licence text differs from LICENSE"

for size in 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/nelvar.png
  [[ $(identify -format '%m %wx%h' "$icon" 2>/dev/null) == "PNG ${size}x${size}" ]] || fail "icon $icon"
done
grep -q '<svg[^>]*viewBox="0 0 32 32"' "$prefix/share/icons/hicolor/scalable/apps/nelvar.svg" ||
  fail "SVG icon without the design's 32 × 32 grid"

exit $((failures > 0))
