#!/usr/bin/env bash
# A move lost on the way between two devhost.exe auto-players on the tests' IRC server, and
# the game brought back by the contact-menu item. Alice and Bob play one game, each with a script the
# test feeds: Alice's deal has her defending ("coin even"). Again and again a side's answer to the
# other's move is lost or held, and both sides must stall, then play on: the defender, who moved,
# chooses the item and sends its state again; the attacker, who waits, chooses it and sends the state
# it holds, which gives the defender its move back; the same after the attacker's move is lost, a few
# times until that move beat the table off; an answer is held, then released. The game is played to its end: both hosts end with status 0 and checks=ok,
# the outcomes mirrored, "lost" printed once for each loss.
# Arguments: the scripts folder, devhost.exe, the messenger's folder with Plugins\Kelvaron.dll.
set -euo pipefail
test_name="devhost lost move test"
source "$(dirname "$0")/script_hosts.sh" "$@"
# How long both sides must stay still after a text was lost or held, well inside the auto-player's
# 15 s before it calls a game stuck.
stall_s=2
held_s=1
# The stock once both hands are dealt.
stock_after_deal=24
beat_off_tries=4
now_ms() { date +%s%3N; }

play=(--irc "127.0.0.1:$(kelvaron_fixture_irc_port)" --check --delay 300 --games 1)
start_scripted bob 4 --user Bob --peer Alice --autoplay 2 "${play[@]}"
wait_for '^irc: logged in' "$work/bob.out" || fail "Bob did not log in"
start_scripted alice 3 --user Alice --peer Bob --autoplay 1 --autoplay-starts "${play[@]}"
echo 'coin even' >&3
started=$(now_ms)

out() { echo "$work/${1,,}.out"; }
other() { if [ "$1" = Alice ]; then echo Bob; else echo Alice; fi; }
tell() { if [ "$1" = Alice ]; then echo "$2" >&3; else echo "$2" >&4; fi; } # NAME LINE: for its script
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
    [ "$(count "^move Alice: $1 " "$(out Alice)")" -gt "$alice_before" ] && actor=Alice && return 0
    [ "$(count "^move Bob: $1 " "$(out Bob)")" -gt "$bob_before" ] && actor=Bob && return 0
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
# The game went on: MOVER moved again within 10 s; notes how long the game stood still.
resumed() { # MOVER MOVES-BEFORE WHAT
  wait_for "^move $1: " "$(out "$1")" $(($2 + 1)) 10 || fail "$3: $1 did not move again"
  stalls+=("$3: $(($(now_ms) - lost_at)) ms;")
}
# SENDER chooses the menu item of the other side and sends the state it holds (sets again); the other
# side moves again. Sent by the loser, it is the lost text; by the waiter, it gives the loser back the
# move whose text was lost.
menu_again() { # SENDER WHAT
  local other moves resends
  other=$(other "$1")
  moves=$(count "^move $other: " "$(out "$other")")
  resends=$(count "^sent $other: " "$(out "$1")")
  tell "$1" "menu $other"
  wait_for "^sent $other: " "$(out "$1")" $((resends + 1)) 10 || fail "$2: $1's menu item sent nothing"
  again=$(nth_text "sent $other: " "$(out "$1")" $((resends + 1)))
  resumed "$other" "$moves" "$2"
}

# 1. The defender's answer to a card laid is lost; the defender chooses the menu item and sends its
# state again.
lose_answer lose lays
still_for "$stall_s" "after the first loss"
menu_again "$loser" "${taken#move }, sent again by the mover ($loser)"
[ "$again" = "$text" ] || fail "$loser lost $text and sent $again again"

# 2. The defender's answer is lost again; the attacker, who waits, sends the state it holds.
lose_answer lose lays
still_for "$stall_s" "after the second loss"
menu_again "$waiter" "${taken#move }, sent again by the waiter ($waiter)"

# 3. The attacker's move after a card covered is lost, and the defender, who waits, sends the state it
# holds. That move lays another card or beats the table off, whose cards then come back to the game:
# tried up to beat_off_tries times until a beat-off was taken back, while the stock cannot run out
# with the move lost, as a move that ends the game needs: the stock gives a card only for a card
# played (laid, covering or thrown in).
taken_back=()
for _ in $(seq "$beat_off_tries"); do
  lose_answer lose covers $((stock_after_deal - 1)) || break
  still_for "$stall_s" "after the move after a cover was lost"
  menu_again "$waiter" "${taken#move }, sent again by the waiter ($waiter)"
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
exec 3>&-
ended_clean alice "$alice" 1
exec 4>&-
ended_clean bob "$bob" 1
alice=
bob=
for side in Alice Bob; do
  [ "$(count '^lost ' "$(out "$side")")" -eq "${losses[$side]}" ] ||
    fail "$side printed $(count '^lost ' "$(out "$side")") \"lost\" lines for ${losses[$side]} losses"
done
mirrored_outcomes 1
echo "deal: $attacker_first attacks, trump suit $trump, Bob's hand $bob_hand"
echo "stalls until the next move: ${stalls[*]}"
echo "taken back after a cover: ${taken_back[*]/%/;}"
echo "devhost lost move test passed: $(moves) moves in $game_ms ms, outcomes mirrored"
