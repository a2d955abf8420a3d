# Shared by the tests that feed devhost.exe hosts their scripts (sourced, not run, with the test's own
# arguments: the scripts folder, devhost.exe, the messenger's folder): a scratch folder, Alice's and
# Bob's hosts (their process ids, scripts on descriptors 3 and 4) and the IRC server the test started,
# if any, stopped at the end; counting and waiting for the lines the hosts print.
wine_run=$1/wine-run.sh
source "$1/common.sh"
devhost=$2
cd "$3"
work=$(mktemp -d)
alice=
bob=
cleanup() {
  exec 3>&- 4>&- 2>/dev/null || true
  for pid in $alice $bob; do kill -9 "$pid" 2>/dev/null || true; done
  kelvaron_stop_irc_server
  rm -rf "$work"
}
trap cleanup EXIT

count() { grep -c -- "$1" "${2:--}" || true; } # PATTERN [FILE]
wait_for() { # PATTERN FILE [COUNT [SECONDS]]: until FILE has COUNT (default 1) such lines
  local _
  for _ in $(seq $((${4:-30} * 20))); do
    [ "$(count "$1" "$2")" -ge "${3:-1}" ] && return 0
    sleep 0.05
  done
  return 1
}
# The text of the Nth line that starts with PREFIX.
nth_text() { grep -- "^$1" "$2" | sed -n "${3}p" | cut -c$((${#1} + 1))-; }
# The outcome each side printed for game 1 must be the other's, seen from across the table.
mirrored_outcomes() { # ALICE-OUTPUT BOB-OUTPUT
  local alice bob
  alice=$(sed -n 's/^game 1 over: //p' "$1")
  bob=$(sed -n 's/^game 1 over: //p' "$2")
  case "$alice/$bob" in
    won/lost | lost/won | draw/draw) echo "Alice $alice, Bob $bob" ;;
    *) echo "the outcomes are not mirrored: Alice $alice, Bob $bob" >&2; return 1 ;;
  esac
}
