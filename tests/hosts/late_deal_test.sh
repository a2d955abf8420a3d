#!/usr/bin/env bash
# A late deal, between two devhost.exe auto-players on the tests' IRC server: Bob's game window is
# busy with Carol when Alice's deal comes, so his plug-in drops it; a while later he closes Carol's
# game and deals to Alice himself. Alice's deal was never answered: the two settle on whichever deal
# sorts first (Alice sends hers again when it does) and play it to its end, every check on. Each side's
# coin has it defend in its own deal, so that nobody moves before the deals have met.
# Arguments: the scripts folder, devhost.exe, the messenger's folder with Plugins\Kelvaron.dll.
set -euo pipefail
test_name="devhost late deal test"
source "$(dirname "$0")/script_hosts.sh" "$@"
carols_game='@@Kelvaron@@72-91-63a2-b0-120'

play=(--irc "127.0.0.1:$(kelvaron_fixture_irc_port)" --check --delay 0 --games 1)
start_scripted bob 4 --user Bob --peer Alice --contact Carol --autoplay 2 "${play[@]}"
wait_for '^irc: logged in' "$work/bob.out" || fail "Bob did not log in"
start_scripted alice 3 --user Alice --peer Bob --autoplay 1 "${play[@]}"
wait_for '^status Bob: online' "$work/alice.out" || fail "Alice never saw Bob online"

echo "recv Carol $carols_game" >&4
printf 'coin even\nmenu Bob\n' >&3
wait_for '^sent Bob: @@Kelvaron@@' "$work/alice.out" || fail "Alice dealt nothing"
alices_deal=$(nth_text 'sent Bob: ' "$work/alice.out" 1)
# Over a loopback server a text arrives within milliseconds: Bob has dropped the deal by now.
sleep 2
[ "$(count '^sent ' "$work/bob.out")" -eq 0 ] || fail "Bob answered a deal while busy with Carol"
printf 'close\ncoin even\nmenu Alice\n' >&4
wait_for '^sent Alice: @@Kelvaron@@' "$work/bob.out" || fail "Bob dealt nothing"
bobs_deal=$(nth_text 'sent Alice: ' "$work/bob.out" 1)

wait_for '^summary: ' "$work/alice.out" 1 120 || fail "Alice's game did not end"
wait_for '^summary: ' "$work/bob.out" 1 30 || fail "Bob's game did not end"
exec 3>&- 4>&-
ended_clean alice "$alice" 1
ended_clean bob "$bob" 1
alice=
bob=
mirrored_outcomes 1
# The deal that sorts first stands; Alice, whose deal was waiting for an answer, sends hers again
# when it is that one.
if [[ $alices_deal < $bobs_deal ]]; then
  stood="Alice's deal stood and was sent again"
  [ "$(count "^sent Bob: $alices_deal\$" "$work/alice.out")" -eq 2 ] || fail "Alice did not send her deal again"
else
  stood="Bob's deal stood"
  [ "$(count "^sent Bob: $alices_deal\$" "$work/alice.out")" -eq 1 ] || fail "Alice sent her losing deal again"
fi
echo "devhost late deal test passed: $stood, outcomes mirrored"
