#!/usr/bin/env bash
# Two devhost.exe auto-players with the real plug-in play whole games on an IRC server,
# every check on (--check foretells each text a plug-in sends, reads the button after every
# adoption, follows every card, and after the games wants every drawing object freed and the memory
# flat). Both must end with status 0 and checks=ok, see each game's outcome from opposite sides, and
# adopt each other's states once each, in the order sent, after they were sent; nothing may reach a
# chat. Under generous limits Carol, a stranger with a game of her own, deals to Alice meanwhile, which
# must not disturb Alice's game, and Alice saves snapshots. Under the server's default limits (a client
# sending more than about three lines a second is held back) moves are delayed, none lost or reordered.
# With "crossing", both sides deal every game at once and the deals cross (the first four from the menu
# of a closed window, each pairing of who attacks, then with the button); in the soak every fifth game.
# The deals are then left out of the order check (one of them is dropped, the other may come twice), and
# so is a move that a crossing sends again right after itself.
# The hosts meet on the IRC server of the folder $KELVARON_IRC_SERVER (a CTest fixture), whose limits
# must be the mode's: ngIRCd's default ones for "default", generous ones otherwise.
# Usage: two_hosts_test.sh SCRIPTS_FOLDER DEVHOST MIRANDA_FOLDER GAMES|soak [generous|default|crossing]
#   soak: $KELVARON_SOAK_GAMES games, default 50. KELVARON_BOB_FOLDER and KELVARON_BOB_PREFIX give Bob
#   another build and Wine prefix (a 32-bit against a 64-bit copy of the plug-in); when Bob's folder
#   has no devhost.exe, the test says so and is skipped (status 77).
set -euo pipefail
games=$4
[ "$games" = soak ] && games=${KELVARON_SOAK_GAMES:-50}
mode=${5:-generous}
cross_every=0
[ "$4" = soak ] && cross_every=5
[ "$mode" = crossing ] && cross_every=1
test_name="two hosts, $games games, $mode"
source "$(dirname "$0")/script_hosts.sh" "$1" "$2" "$3"
scripts=$1
alice_folder=$(pwd)
bob_folder=${KELVARON_BOB_FOLDER:-$alice_folder}
if [ ! -f "$bob_folder/devhost.exe" ]; then
  echo "two hosts: not run: Bob's folder \"$bob_folder\" has no devhost.exe (scripts/test.sh builds it)"
  exit 77
fi
bob_prefix=${KELVARON_BOB_PREFIX:-}
irc=(--irc "127.0.0.1:$(kelvaron_fixture_irc_port)")
host() { # FOLDER PREFIX ARGUMENTS...: a development host in a messenger's folder
  local folder=$1 prefix=$2
  shift 2
  (cd "$folder" && WINEPREFIX=${prefix:-${WINEPREFIX:-}} "$scripts/wine-run.sh" ./devhost.exe "${irc[@]}" "$@")
}

common=(--games "$games" --delay 0 --check --quiet --timing --cross-every "$cross_every")
host "$bob_folder" "$bob_prefix" --user Bob --peer Alice --autoplay 2 "${common[@]}" >"$work/bob.out" 2>&1 &
bob=$!
alice_extra=()
[ "$mode" = generous ] && [ "$4" != soak ] && alice_extra=(--snapshots "Z:${work//\//\\}")
host "$alice_folder" "" --user Alice --peer Bob --autoplay 1 --autoplay-starts "${alice_extra[@]}" \
  "${common[@]}" >"$work/alice.out" 2>&1 &
alice=$!
if [ "$mode" = generous ]; then
  # 30 s, longer where KELVARON_TIME_SCALE says the machine is slower (an emulated one).
  for _ in $(seq $((150 * ${KELVARON_TIME_SCALE:-1}))); do
    grep -q '^move Alice: ' "$work/alice.out" && break
    sleep 0.2
  done
  printf 'menu Alice\nwait 500\n' | host "$alice_folder" "" --user Carol --contact Alice --script \
    >"$work/carol.out" 2>&1 || fail "Carol's host failed"
  grep -q '^sent Alice: @@Kelvaron@@' "$work/carol.out" || fail "Carol dealt nothing"
fi
ended_clean alice "$alice" "$games"
ended_clean bob "$bob" "$games"
bob=
mirrored_outcomes "$games"

# Each side adopted exactly the states the other sent, in the order sent, each after it was sent;
# longest_ms is the longest way of a state from a click to the other window. Where deals cross, only
# the moves count.
longest_ms=0
timings() { # FILE click|adopted
  local deal='^@@Kelvaron@@[0-9a-f]{48}--'
  awk -v what="$2" '$1 == "timing" && $2 == what { print $4, $3 }' "$1" |
    if [ "$cross_every" = 0 ]; then cat; else { grep -Ev "$deal" || true; } | awk '$1 != last { print } { last = $1 }'; fi
}
check_way() { # SENDER RECEIVER
  timings "$work/$1.out" click >"$work/clicked"
  timings "$work/$2.out" adopted >"$work/adopted"
  [ -s "$work/clicked" ] || fail "$1 printed no timings"
  diff <(cut -d' ' -f1 "$work/clicked") <(cut -d' ' -f1 "$work/adopted") >"$work/order" ||
    fail "$2 did not adopt $1's states as they were sent: $(head -5 "$work/order")"
  longest_ms=$(paste -d' ' "$work/clicked" "$work/adopted" |
    awk -v m="$longest_ms" '$4 < $2 { exit 1 } { d = ($4 - $2) / 1000; if (d > m) m = d } END { printf "%d", m }') ||
    fail "a state of $1 was adopted before it was sent"
}
check_way alice bob
check_way bob alice
moves=$(cat "$work/alice.out" "$work/bob.out" | grep -c '^move ' || true)
if [ "$mode" = default ]; then
  [ "$longest_ms" -ge 500 ] || fail "the server's default limits held no move back"
elif [ "$mode" = crossing ]; then
  # Every game after the first began with two deals that crossed, and both sides agree whose stood.
  crossings() { sed -n 's/^game \([0-9]*\): deals crossed, I \([a-z]*\) in mine and \([a-z]*\) in theirs, \([a-z]*\) stands.*/\1 \2 \3 \4/p' "$work/$1.out"; }
  agreed=$(paste -d' ' <(crossings alice) <(crossings bob) |
    awk '$1 == $5 && $4 != $8 && (($2 == "attack") == ($7 == "defend"))' | wc -l)
  [ "$agreed" -eq $((games - 1)) ] || fail "$agreed of $((games - 1)) crossings settled alike on both sides"
  # The first four, from the menu, pair every role of Alice's deal with every role of Bob's.
  pairings=$(crossings alice | head -n 4 | awk '{ print $2, ($3 == "attack" ? "defend" : "attack") }' | sort -u | wc -l)
  [ "$pairings" -eq 4 ] || [ "$games" -lt 5 ] || fail "the menu crossings paired only $pairings ways of attacking"
  grep -q 'mine stands, my first card laid before theirs came$' "$work/alice.out" "$work/bob.out" ||
    [ "$games" -lt 3 ] || fail "no winning side laid its first card before the other deal came"
else
  # Carol became a contact while Alice's host ran, and got the receive filter then: her state was
  # dropped, and Alice's game went on undisturbed (the checks above).
  grep -q '^status Carol: online$' "$work/alice.out" || fail "Carol did not become Alice's contact"
  for picture in Alice-game1-deal Alice-game1-end Alice-game$games-end; do
    [ ${#alice_extra[@]} -eq 0 ] || [ -s "$work/$picture.png" ] || fail "no $picture.png"
  done
fi
grep '^summary:' "$work/alice.out" "$work/bob.out" | sed 's/^.*\/\(.*\)\.out:/\1 /'
echo "two hosts: $games games, $moves moves, outcomes mirrored, states adopted in order (longest way $longest_ms ms)"
