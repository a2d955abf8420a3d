#!/usr/bin/env bash
# A move lost on the way between two devhost.exe auto-players on the tests' IRC server, and
# the game brought back by the contact-menu item. First, without IRC: "coin" decides which side
# defends in a dealt game, and the outbox holds, releases and loses texts. Then Alice and Bob play
# one game, each with a script the test feeds: Alice's deal has her defending ("coin even"). Again
# and again a side's answer to the other's move is lost or held, and both sides must stall, then
# play on: the defender, who moved, chooses the item and sends its state again; the attacker, who
# waits, chooses it and sends the state it holds, which gives the defender its move back; the same
# after the attacker's move is lost, a few times until that move beat the table off; an answer is
# held, then released. The game is played to its end: both hosts end with status 0 and checks=ok,
# the outcomes mirrored, "lost" printed once for each loss.
# Arguments: the scripts folder, devhost.exe, the messenger's folder with Plugins\Kelvaron.dll.
set -euo pipefail
source "$(dirname "$0")/script_hosts.sh" "$@"
# How long both sides must stay still after a text was lost or held, well inside the auto-player's
# 15 s before it calls a game stuck.
stall_s=2
held_s=1
# The stock once both hands are dealt.
stock_after_deal=24
beat_off_tries=4
fail() {
  echo "devhost lost move test: $*" >&2
  for side in alice bob; do
    [ -f "$work/$side.out" ] || continue
    echo "--- $side: checks" >&2
    grep '^check: \|^summary: \|^error: ' "$work/$side.out" >&2 || true
    echo "--- $side: last lines" >&2
    tail -n 12 "$work/$side.out" >&2
  done
  exit 1
}
now_ms() { date +%s%3N; }

# --- without IRC: the coin and the outbox
coin_script=$work/coin.script
parities=(even odd odd even even odd odd even)
for parity in "${parities[@]}"; do printf 'coin %s\nmenu Bob\nclose\n' "$parity"; done >"$coin_script"
# Two deals held, the first lost at release; then two texts of the user, the first lost at once.
printf 'hold\nmenu Bob\nclose\nmenu Bob\nclose\nlose\nrelease\nlose\nsend Bob one\nsend Bob two\n' \
  >>"$coin_script"
"$wine_run" "$devhost" --user Alice --peer Bob --script <"$coin_script" >"$work/coin.out" 2>&1 ||
  fail "the host without IRC ended with status $?"
digits=$(grep '^sent Bob: @@Kelvaron@@' "$work/coin.out" | head -n ${#parities[@]} |
  sed 's/.*\(.\)..$/\1/' | tr -d '\n')
# The deal's digit says whether its receiver defends: an even coin has the dealer defend.
wanted=$(printf '%s\n' "${parities[@]}" | sed 's/even/0/; s/odd/1/' | tr -d '\n')
[ "$digits" = "$wanted" ] ||
  fail "coin: the deals' defender digits are $digits, where the coins ask for $wanted"
held_first=$(nth_text 'held Bob: ' "$work/coin.out" 1)
held_second=$(nth_text 'held Bob: ' "$work/coin.out" 2)
expected=$(printf '%s\n' "held Bob: $held_first" "held Bob: $held_second" "lost Bob: $held_first" \
  "sent Bob: $held_second" 'lost Bob: one' 'sent Bob: two')
actual=$(sed -n '/^held Bob: /,$p' "$work/coin.out")
[ -n "$held_first" ] && [ "$held_first" != "$held_second" ] && [ "$actual" = "$expected" ] ||
  fail "the outbox without IRC printed:
$actual
where it should print:
$expected"

# --- two hosts on the IRC server
port=$(kelvaron_fixture_irc_port)
irc=(--irc "127.0.0.1:$port")
play=("${irc[@]}" --check --delay 300 --games 1 --script)
mkfifo "$work/alice.script" "$work/bob.script"
"$wine_run" "$devhost" --user Bob --peer Alice --autoplay 2 "${play[@]}" <"$work/bob.script" \
  >"$work/bob.out" 2>"$work/bob.err" &
bob=$!
exec 4>"$work/bob.script"
wait_for '^irc: logged in' "$work/bob.out" || fail "Bob did not log in"
# Alice must not hold Bob's script open: its end ends him.
"$wine_run" "$devhost" --user Alice --peer Bob --autoplay 1 --autoplay-starts "${play[@]}" \
  <"$work/alice.script" >"$work/alice.out" 2>"$work/alice.err" 4>&- &
alice=$!
exec 3>"$work/alice.script"
echo 'coin even' >&3
started=$(now_ms)

out() { echo "$work/${1,,}.out"; }
other() { if [ "$1" = Alice ]; then echo Bob; else echo Alice; fi; }
tell() { # NAME LINE: a script line for that host
  if [ "$1" = Alice ]; then echo "$2" >&3; else echo "$2" >&4; fi
}
moves() { cat "$work/alice.out" "$work/bob.out" | count '^move '; }
# Cards laid, covering or chosen for a throw-in, those of moves taken back included.
cards_played() {
  cat "$work/alice.out" "$work/bob.out" | count '^move [^:]*: \(lays\|covers\|chooses\) '
}

wait_for '^sent Bob: @@Kelvaron@@' "$work/alice.out" || fail "Alice dealt nothing"
deal=$(nth_text 'sent Bob: ' "$work/alice.out" 1)
# The last three digits: does the receiver (Bob) defend, the trump suit, the throw-in phase.
[ "${deal: -3:1}" = 0 ] || fail "after \"coin even\" the deal $deal has Bob defend"
attacker_first=Bob
trump=${deal: -2:1}
bob_hand=$(cut -d- -f4 <<<"${deal#@@Kelvaron@@}")
wait_for '^move Bob: ' "$(out Bob)" || fail "Bob never moved"
grep -m1 '^move Bob: ' "$(out Bob)" | grep -q '^move Bob: lays ' ||
  fail "Bob, who attacks, did not lay a card first: $(grep -m1 '^move Bob: ' "$(out Bob)")"

# Waits up to 30 s for the next move whose description starts with VERB; sets actor, who made it.
next_move() {
  local alice_before bob_before _
  alice_before=$(count "^move Alice: $1 " "$(out Alice)")
  bob_before=$(count "^move Bob: $1 " "$(out Bob)")
  for _ in $(seq 600); do
    actor=
    [ "$(count "^move Alice: $1 " "$(out Alice)")" -gt "$alice_before" ] && actor=Alice
    [ "$(count "^move Bob: $1 " "$(out Bob)")" -gt "$bob_before" ] && actor=Bob
    [ -z "$actor" ] || return 0
    sleep 0.05
  done
  fail "no move \"$1\" for 30 s"
}
# No side moves for SECONDS.
still_for() {
  local before
  before=$(moves)
  sleep "$1"
  [ "$(moves)" -eq "$before" ] ||
    fail "$2: a side moved within $1 s: $(grep -h '^move ' "$work"/*.out | tail -n 2)"
}
# Waits up to 10 s for a new move of NAME after it had MOVES of them.
wait_for_move() {
  wait_for "^move $1: " "$(out "$1")" $(($2 + 1)) 10 || fail "$3: $1 did not move again"
}
# The line NAME's host printed right before its Nth line that starts with PREFIX.
line_before() {
  awk -v p="$2" -v n="$3" 'index($0, p) == 1 && ++k == n { print last; exit } { last = $0 }' "$(out "$1")"
}

stalls=()
declare -A losses=([Alice]=0 [Bob]=0)
# Right after a move VERB (lays, covers), the other side's next text is lost or held: its answer,
# which gives the move back (a card covered or the table taken after "lays"; a card laid or the
# table beaten off after "covers"). Sets loser, waiter (who made the move VERB), text and taken (the
# move whose text was lost).
# With a number of cards, nothing is lost (status 1) once that many were played.
lose_answer() { # lose|hold VERB [CARDS]
  local word=lost number
  [ "$1" = hold ] && word=held
  next_move "$2"
  [ -z "${3:-}" ] || [ "$(cards_played)" -lt "$3" ] || return 1
  waiter=$actor
  loser=$(other "$actor")
  number=$(($(count "^$word $waiter: " "$(out "$loser")") + 1))
  tell "$loser" "$1"
  [ "$1" = hold ] || losses[$loser]=$((losses[$loser] + 1))
  wait_for "^$word $waiter: " "$(out "$loser")" "$number" 10 || fail "$1: no \"$word\" line from $loser"
  lost_at=$(now_ms)
  text=$(nth_text "$word $waiter: " "$(out "$loser")" "$number")
  taken=$(line_before "$loser" "$word $waiter: " "$number")
  [[ $taken == "move $loser: "* ]] && [[ $taken != *"throws in" ]] ||
    fail "$1: the text $word was not $loser's answer, which gives the move away: \"$taken\""
}
# The game went on: MOVER moved again; notes how long the game stood still.
resumed() { # MOVER MOVES-BEFORE WHAT
  wait_for_move "$1" "$2" "$3"
  stalls+=("$3: $(($(now_ms) - lost_at)) ms;")
}
# The side that waits chooses the menu item: it sends the state it holds, and the loser takes back
# the move whose text was lost and moves again.
waiter_sends_again() { # WHAT
  local loser_moves resends
  loser_moves=$(count "^move $loser: " "$(out "$loser")")
  resends=$(count "^sent $loser: " "$(out "$waiter")")
  tell "$waiter" "menu $loser"
  wait_for "^sent $loser: " "$(out "$waiter")" $((resends + 1)) 10 ||
    fail "$1: the waiter's menu item sent nothing"
  resumed "$loser" "$loser_moves" "$1, sent again by the waiter ($waiter)"
}

# 1. The defender's answer to a card laid is lost; the defender chooses the menu item and sends its
# state again.
lose_answer lose lays
still_for "$stall_s" "after the first loss"
waiter_moves=$(count "^move $waiter: " "$(out "$waiter")")
resends=$(count "^sent $waiter: " "$(out "$loser")")
tell "$loser" "menu $waiter"
wait_for "^sent $waiter: " "$(out "$loser")" $((resends + 1)) 10 ||
  fail "the mover's menu item sent nothing"
again=$(nth_text "sent $waiter: " "$(out "$loser")" $((resends + 1)))
[ "$again" = "$text" ] || fail "$loser lost $text and sent $again again"
resumed "$waiter" "$waiter_moves" "${taken#move }, sent again by the mover ($loser)"

# 2. The defender's answer is lost again; the attacker, who waits, sends the state it holds.
lose_answer lose lays
still_for "$stall_s" "after the second loss"
waiter_sends_again "${taken#move }"

# 3. The attacker's move after a card covered is lost, and the defender, who waits, sends the state it
# holds. That move lays another card or beats the table off, whose cards then come back to the game:
# tried up to beat_off_tries times until a beat-off was taken back, while the stock cannot run out
# with the move lost, as a move that ends the game needs: the stock gives a card only for a card
# played (laid, covering or thrown in).
taken_back=()
for _ in $(seq "$beat_off_tries"); do
  lose_answer lose covers $((stock_after_deal - 1)) || break
  still_for "$stall_s" "after the move after a cover was lost"
  waiter_sends_again "${taken#move }"
  taken_back+=("${taken#move "$loser": }")
  [[ $taken != *"beats off" ]] || break
done
[ ${#taken_back[@]} -gt 0 ] ||
  fail "$(cards_played) cards were played before a move after a cover could be lost"

# 4. The defender's answer is held, then released.
lose_answer hold lays
still_for "$held_s" "while an answer was held"
waiter_moves=$(count "^move $waiter: " "$(out "$waiter")")
tell "$loser" release
wait_for "^sent $waiter: $text\$" "$(out "$loser")" 1 10 || fail "the held text was not sent on release"
resumed "$waiter" "$waiter_moves" "${taken#move }, held and released"

wait_for '^summary: ' "$(out Alice)" 1 120 || fail "Alice's game did not end"
wait_for '^summary: ' "$(out Bob)" 1 30 || fail "Bob's game did not end"
game_ms=$(($(now_ms) - started))
# The end of its script ends a host; Alice, who started the game, leaves first.
for side in Alice Bob; do
  if [ "$side" = Alice ]; then exec 3>&-; pid=$alice; else exec 4>&-; pid=$bob; fi
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "$side ended with status $status"
done
alice=
bob=
for side in alice bob; do
  grep -q '^summary: games=1 .* checks=ok ' "$work/$side.out" || fail "$side's summary is not clean"
  ! grep -q '^chat \|^error: ' "$work/$side.out" ||
    fail "$side: $(grep -m1 '^chat \|^error: ' "$work/$side.out")"
done
for side in Alice Bob; do
  [ "$(count '^lost ' "$(out "$side")")" -eq "${losses[$side]}" ] ||
    fail "$side printed $(count '^lost ' "$(out "$side")") \"lost\" lines for ${losses[$side]} losses"
done
outcomes=$(mirrored_outcomes "$work/alice.out" "$work/bob.out") || fail "see above"
echo "deal: $attacker_first attacks, trump suit $trump, Bob's hand $bob_hand"
echo "stalls until the next move: ${stalls[*]}"
echo "taken back after a cover: ${taken_back[*]/%/;}"
echo "devhost lost move test passed: $(moves) moves in $game_ms ms, $outcomes"
