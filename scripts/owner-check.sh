# Sourced by run.sh, test.sh, package.sh and fuzz.sh, from the project's
# folder, after the packages are installed:
#
#   check_owner <build-dir> <command to run as the user>
#
# Root installs the packages; building and running are the user's. Run by
# root (su -, sudo) in a folder that belongs to a user, a build would belong
# to root and block the user's next run, and the program would have no
# display: so root stops there and says what to run as that user. A user
# whose build folder was left by root is told how to remove it.
check_owner() {
  local build_dir=$1 command=$2
  if [[ $(id -u) -eq 0 && $(stat -c %u .) -ne 0 ]]; then
    echo "The packages are installed. Now build and run as $(stat -c %U .), who owns $PWD, not as root: $command"
    exit 0
  fi
  local foreign
  if [[ $(id -u) -ne 0 && -e $build_dir ]]; then
    foreign=$(find "$build_dir" ! -user "$(id -u)" -print -quit 2>/dev/null)
    if [[ -n $foreign ]]; then
      echo "$PWD/$foreign belongs to $(stat -c %U "$foreign") (left by a run as root?): remove the build once as root (su - -c 'rm -rf $PWD/$build_dir'), then run $command again." >&2
      exit 1
    fi
  fi
}
