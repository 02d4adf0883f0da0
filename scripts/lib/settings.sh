# The checks of the numbers and settings the scripts take, sourced by each
# script after it has defined refuse(), so that a bad one is refused with
# that script's name and usage before any work is done.

# whole_number NAME VALUE: sets `number` to VALUE without its leading
# zeros, no longer than the shell's own number comparisons and the tools
# it is passed to can take; refuses anything else, naming NAME.
whole_number() {
  case "$2" in
    "" | *[!0-9]*) refuse "$1 must be a whole number, not '$2'" ;;
  esac
  number=${2#"${2%%[!0]*}"}
  [ -n "$number" ] || refuse "$1 must be more than 0"
  [ ${#number} -le 9 ] || refuse "$1 must be at most 999999999, not '$2'"
}

# CMAKE_BUILD_PARALLEL_LEVEL, read by every script that builds: unset or
# empty keeps the default (one job per core); a number is passed on (to
# the scripts this one runs too) without its leading zeros.
check_build_jobs() {
  if [ -n "${CMAKE_BUILD_PARALLEL_LEVEL-}" ]; then
    whole_number CMAKE_BUILD_PARALLEL_LEVEL "$CMAKE_BUILD_PARALLEL_LEVEL"
    CMAKE_BUILD_PARALLEL_LEVEL=$number
  fi
}

# FUZZ_TARGETS, from the repository root: sets `targets` to the names it
# gives (unset, empty or blanks only: every target), each of which must be
# a fuzz_<name>.cpp of tests/fuzz/. Each name is taken as written: a
# pattern such as '*' is a name, not files. A name given again is kept
# once, where first given: two runs of one target would share its log and
# its corpus.
check_fuzz_targets() {
  known=$(for source in tests/fuzz/fuzz_*.cpp; do
    [ -f "$source" ] && basename "$source" .cpp | sed 's/^fuzz_//'; done | tr '\n' ' ')
  targets=
  set -f
  for t in ${FUZZ_TARGETS-}; do
    case " $known" in
      *" $t "*) ;;
      *) refuse "FUZZ_TARGETS names no fuzz target: '$t' (the targets are: ${known% })" ;;
    esac
    case " $targets " in
      *" $t "*) ;;
      *) targets="${targets:+$targets }$t" ;;
    esac
  done
  set +f
  targets=${targets:-$known}
}
