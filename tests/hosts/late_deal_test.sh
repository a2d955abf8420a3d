#!/usr/bin/env bash
# A late deal, between two devhost.exe auto-players on the tests' IRC server: Bob's game window is
# busy with Carol when Alice's deal comes, so his plug-in drops it; a while later he closes Carol's
# game and deals to Alice himself. Alice's deal was never answered: the two settle on whichever deal
# sorts first (Alice sends hers again when it does) and play it to its end, every check on. Each side's
# coin has it defend in its own deal, so that nobody moves before the deals have met.
# Arguments: the scripts folder, devhost.exe, the messenger's folder with Plugins\Kelvaron.dll.
set -euo pipefail
source "$(dirname "$0")/script_hosts.sh" "$@"
carols_game='@@Kelvaron@@72-91-63a2-b0-120'
fail() {
  echo "devhost late deal test: $*" >&2
  for side in alice bob; do
    [ -f "$work/$side.out" ] && { echo "--- $side"; grep -v '^move \|^timing ' "$work/$side.out"; } >&2
  done
  exit 1
}

port=$(kelvaron_fixture_irc_port)
play=(--irc "127.0.0.1:$port" --check --delay 0 --games 1 --script)
mkfifo "$work/alice.script" "$work/bob.script"
"$wine_run" "$devhost" --user Bob --peer Alice --contact Carol --autoplay 2 "${play[@]}" \
  <"$work/bob.script" >"$work/bob.out" 2>&1 &
bob=$!
exec 4>"$work/bob.script"
wait_for '^irc: logged in' "$work/bob.out" || fail "Bob did not log in"
"$wine_run" "$devhost" --user Alice --peer Bob --autoplay 1 "${play[@]}" \
  <"$work/alice.script" >"$work/alice.out" 2>&1 4>&- &
alice=$!
exec 3>"$work/alice.script"
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
for side in alice bob; do
  status=0
  wait "${!side}" || status=$?
  [ "$status" -eq 0 ] || fail "$side ended with status $status"
  grep -q '^summary: games=1 .* checks=ok ' "$work/$side.out" || fail "$side's summary is not clean"
  ! grep -q '^chat \|^error: ' "$work/$side.out" || fail "$side: $(grep -m1 '^chat \|^error: ' "$work/$side.out")"
done
alice=
bob=
outcomes=$(mirrored_outcomes "$work/alice.out" "$work/bob.out") || fail "see above"
# The deal that sorts first stands; Alice, whose deal was waiting for an answer, sends hers again
# when it is that one.
if [[ $alices_deal < $bobs_deal ]]; then
  stood="Alice's deal stood and was sent again"
  [ "$(count "^sent Bob: $alices_deal\$" "$work/alice.out")" -eq 2 ] || fail "Alice did not send her deal again"
else
  stood="Bob's deal stood"
  [ "$(count "^sent Bob: $alices_deal\$" "$work/alice.out")" -eq 1 ] || fail "Alice sent her losing deal again"
fi
echo "devhost late deal test passed: $stood, $outcomes"
