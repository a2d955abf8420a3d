#!/usr/bin/env bash
# Two devhost.exe auto-players with the real plug-in, on an IRC server of the test's own: three whole
# games with every check on. Both must end with status 0, see the same outcomes from opposite sides, and
# sum up with checks=ok; every state one sent must reach the other once, in order, after it was sent;
# Alice's snapshots must be there. Meanwhile Carol, a stranger with a game of her own, deals to Alice,
# which must not disturb Alice's game.
# With "default-limits" the server keeps ngircd's own flood limits (a client sending more than about three
# lines a second is held back) and two games are played: moves are then delayed (the test requires one by
# half a second or more) but still none lost or reordered.
# Arguments: scripts/wine-run.sh, devhost.exe, the messenger's folder with Plugins\Kelvaron.dll,
# [default-limits].
set -euo pipefail
wine_run=$1
source "$(dirname "$wine_run")/common.sh"
devhost=$2
cd "$3"
limits=${4:-generous}
games=3
[ "$limits" = default-limits ] && games=2
work=$(mktemp -d)
bob=
cleanup() {
  [ -z "$bob" ] || kill "$bob" 2>/dev/null || true
  kelvaron_stop_irc_server
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "devhost autoplay test ($limits): $*" >&2
  for side in alice bob carol; do
    [ -f "$work/$side.out" ] || continue
    echo "--- $side (last lines)" >&2
    tail -n 15 "$work/$side.out" >&2
  done
  exit 1
}
kelvaron_start_irc_server "$work/irc" "${limits%-limits}"
irc=(--irc "127.0.0.1:$KELVARON_IRC_PORT")

common=(--games "$games" --delay 0 --check --quiet --timing "${irc[@]}")
"$wine_run" "$devhost" --user Bob --peer Alice --autoplay 2 "${common[@]}" >"$work/bob.out" &
bob=$!
"$wine_run" "$devhost" --user Alice --peer Bob --autoplay 1 --autoplay-starts \
  --snapshots "Z:${work//\//\\}" "${common[@]}" >"$work/alice.out" &
alice=$!
if [ "$limits" = generous ]; then
  for _ in $(seq 150); do
    grep -q '^move Alice: ' "$work/alice.out" && break
    sleep 0.2
  done
  printf 'menu Alice\nwait 500\n' | "$wine_run" "$devhost" --user Carol --contact Alice "${irc[@]}" --script \
    >"$work/carol.out" 2>&1 || fail "Carol's host failed"
  grep -q '^sent Alice: @@Kelvaron@@' "$work/carol.out" || fail "Carol dealt nothing"
fi
alice_status=0
wait "$alice" || alice_status=$?
bob_status=0
wait "$bob" || bob_status=$?
bob=
[ "$alice_status" -eq 0 ] || fail "Alice ended with status $alice_status"
[ "$bob_status" -eq 0 ] || fail "Bob ended with status $bob_status"

# A failed check shows as checks=FAILED in the summary, and in the last lines fail() prints.
for side in alice bob; do
  grep -q "^summary: games=$games .* checks=ok gdi=0 dcs=0 images=0 " "$work/$side.out" ||
    fail "$side's summary is not clean"
done

# Each side's outcome of game K is the other side's, seen from across the table.
opposite() { case $1 in won) echo lost ;; lost) echo won ;; *) echo "$1" ;; esac; }
paste -d' ' <(grep '^game ' "$work/alice.out") <(grep '^game ' "$work/bob.out") |
  while read -r _ k _ alice _ k2 _ bob_outcome; do
    [ "$k $bob_outcome" = "$k2 $(opposite "$alice")" ] || fail "game $k: Alice $alice; game $k2: Bob $bob_outcome"
  done

# Each side adopted exactly the states the other sent, in the order they were sent, each after it was
# sent; longest_ms is the longest way of a state from a click to the other window.
longest_ms=0
check_way() { # SENDER RECEIVER
  awk '$1 == "timing" && $2 == "click" { print $4, $3 }' "$work/$1.out" >"$work/clicked"
  awk '$1 == "timing" && $2 == "adopted" { print $4, $3 }' "$work/$2.out" >"$work/adopted"
  [ -s "$work/clicked" ] || fail "$1 printed no timings"
  diff <(cut -d' ' -f1 "$work/clicked") <(cut -d' ' -f1 "$work/adopted") >"$work/order" ||
    fail "$2 did not adopt $1's states as they were sent: $(head -5 "$work/order")"
  paste -d' ' "$work/clicked" "$work/adopted" | awk '$4 < $2 { bad = 1 } END { exit bad }' ||
    fail "a state of $1 was adopted before it was sent"
  longest_ms=$(paste -d' ' "$work/clicked" "$work/adopted" |
    awk -v m="$longest_ms" '{ d = ($4 - $2) / 1000; if (d > m) m = d } END { printf "%d", m }')
}
check_way alice bob
check_way bob alice
echo "the longest way of a state from a click to the other window: $longest_ms ms"
if [ "$limits" = default-limits ]; then
  [ "$longest_ms" -ge 500 ] || fail "the server's default limits held no move back"
else
  # Bob waits five seconds for Alice to leave, which under the default limits may take longer.
  grep -q '^status Alice: offline$' "$work/bob.out" || fail "Bob did not see Alice leave"
  # Carol's deal reached Alice and changed nothing in her game (the checks above). Carol became a
  # contact while Alice's host ran, and got the receive filter then: her state is dropped, not chatted.
  grep -q '^status Carol: online$' "$work/alice.out" || fail "Carol did not become Alice's contact"
  ! grep -q '^chat ' "$work/alice.out" || fail "a text reached Alice's chat: $(grep -m1 '^chat ' "$work/alice.out")"
  for picture in Alice-game1-deal Alice-game1-end Alice-game2-end Alice-game$games-end; do
    [ -s "$work/$picture.png" ] || fail "no $picture.png"
  done
fi
echo "devhost autoplay test ($limits) passed"
