# Shared by the tests of devhost.exe hosts (sourced, not run, with the test's own arguments: the scripts
# folder, devhost.exe, the messenger's folder): a scratch folder, Alice's and Bob's hosts (their process
# ids) and the IRC server the test started, if any, stopped at the end; waiting for the lines the hosts
# print; how the hosts must end. The test names itself in $test_name first.
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
fail() { # WHAT: then each host's failed checks, errors and last lines
  echo "$test_name: $*" >&2
  for out in "$work"/*.out; do
    [ -f "$out" ] || continue
    echo "--- $(basename "$out" .out)"
    grep -m 5 '^check: FAILED\|^error: ' "$out" || true
    tail -n 15 "$out"
  done >&2
  exit 1
}

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

# A host (alice or bob, output in $work/NAME.out, Wine's messages in NAME.err) that reads its script from a pipe the test holds
# open on descriptor FD; its process id goes to the variable NAME. It holds no other host's script.
start_scripted() { # NAME FD ARGUMENTS...
  local name=$1 fd=$2
  shift 2
  rm -f "$work/$name.script"
  mkfifo "$work/$name.script"
  "$wine_run" "$devhost" "$@" --script <"$work/$name.script" >"$work/$name.out" 2>"$work/$name.err" 3>&- 4>&- &
  printf -v "$name" %s $!
  eval "exec $fd>\"$work/$name.script\""
}
# The host ends with status 0 after GAMES games with every check passed, nothing in a chat and no
# script error.
ended_clean() { # NAME PID GAMES
  local status=0
  wait "$2" || status=$?
  [ "$status" -eq 0 ] || fail "$1 ended with status $status"
  grep -q "^summary: games=$3 .* checks=ok " "$work/$1.out" || fail "$1's summary is not clean"
  ! grep -q '^chat \|^error: ' "$work/$1.out" || fail "$1: $(grep -m1 '^chat \|^error: ' "$work/$1.out")"
}
# Each side's outcome of every one of GAMES games is the other's, seen from across the table.
mirrored_outcomes() { # GAMES
  local mirrored
  outcomes() { sed -n 's/^game \([0-9]*\) over: \(.*\)$/\1 \2/p' "$work/$1.out"; }
  mirrored=$(paste -d' ' <(outcomes alice) <(outcomes bob) |
    awk '$1 == $3 && (($2 == "won" && $4 == "lost") || ($2 == "lost" && $4 == "won") || ($2 == $4 && $2 == "draw"))' |
    wc -l)
  [ "$mirrored" -eq "$1" ] || fail "only $mirrored of $1 outcomes are mirrored: $(outcomes alice | head -n 3 | tr '\n' ' ')/ $(outcomes bob | head -n 3 | tr '\n' ' ')"
}
