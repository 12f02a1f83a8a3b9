#!/usr/bin/env bash
# The scripts' owner check (scripts/owner-check.sh), run by root and by a
# plain user (uid 65534, nobody on Debian) in folders that belong to one or
# the other:
#   root, folder of a user   says what to run as that user, stops with 0, no build
#   root, folder of root      goes on
#   user, build left by root  says how to remove it, stops with 1
#   user, own build           goes on
# Needs root (to act as both); skipped otherwise.
#
# The user may not be able to reach the checkout (cloned into a folder only
# its owner may enter, such as /root) nor $TMPDIR: the script under test is
# copied into a fresh folder under /tmp, every level of which the user may
# enter, and the folders are named without relying on the user's name.
#
#   ProprietaireDossier.sh <source-dir>
set -euo pipefail
source_dir=$1
if [[ $(id -u) -ne 0 ]] || ! command -v setpriv >/dev/null; then
  echo "needs root and setpriv"
  exit 77
fi

uid=65534
gid=65534
as_user=(setpriv --reuid="$uid" --regid="$gid" --clear-groups)

work=$(mktemp -d -p /tmp)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/scripts"
install -m 644 "$source_dir/scripts/owner-check.sh" "$work/scripts/owner-check.sh"
if ! "${as_user[@]}" test -r "$work/scripts/owner-check.sh"; then
  echo "FAILED: uid $uid cannot read $work/scripts/owner-check.sh" >&2
  exit 1
fi

failures=0
# check <as: root|user> <folder> <expected status> <expected text>: an empty
# text means the check lets the script go on, silently.
check() {
  local as=$1 folder=$2 status=$3 text=$4 runner=() output code=0
  [[ $as == user ]] && runner=("${as_user[@]}")
  output=$(cd "$folder" && "${runner[@]}" bash -c \
    'source "$1/scripts/owner-check.sh"; check_owner build scripts/run.sh; echo "goes on"' _ "$work" 2>&1) || code=$?
  if [[ $code != "$status" ]]; then
    echo "FAILED: $as in $folder: status $code, expected $status: $output" >&2
    failures=$((failures + 1))
  elif [[ -z $text && $output != "goes on" ]] || [[ -n $text && ($output != *"$text"* || $output == *"goes on"*) ]]; then
    echo "FAILED: $as in $folder: '$output', expected '${text:-goes on}'" >&2
    failures=$((failures + 1))
  fi
}

mkdir -p "$work/users" "$work/roots" "$work/left" "$work/inside/build"
chown "$uid:$gid" "$work/users" "$work/left" "$work/inside" "$work/inside/build"
mkdir "$work/left/build"             # a build folder root left in the user's folder
touch "$work/inside/build/CMakeCache.txt" # one file root left in the user's build
"${as_user[@]}" mkdir "$work/users/build"

user=$(stat -c %U "$work/users")
check root "$work/users" 0 "Now build and run as $user, who owns $work/users, not as root: scripts/run.sh"
check root "$work/roots" 0 ""
check user "$work/left" 1 "rm -rf $work/left/build"
check user "$work/inside" 1 "rm -rf $work/inside/build"
check user "$work/users" 0 ""
exit $((failures > 0))
