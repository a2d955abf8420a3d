#!/usr/bin/env bash
# devhost.exe hosts with the real plug-in that come and go on IRC servers of the test's own (one
# is stopped under the hosts, so no other test may share it).
# First scripted hosts: a second Bob is refused at login (status 3); Alice's greeting reaches Bob's chat
# byte for byte, and so does a text of Carol, a stranger who is not his contact; Bob sees both come and go.
# Then two auto-players, and in the middle of their games Alice leaves: once by her script's end, once
# killed, and once because the server goes away. Bob must show Alice offline and hide the game's menu
# item for her, keep obeying his script (the game window stays and takes clicks; a text sent meanwhile
# is reported as not delivered), and end with status 0. When Alice comes back (a new host under her
# nick), Bob shows her online again, and a game he starts from the menu reaches her and opens her game
# window. When the server goes away, both hosts say so and end well.
# Arguments: the scripts folder, devhost.exe, the messenger's folder with Plugins\Kelvaron.dll.
set -euo pipefail
test_name="devhost presence test"
source "$(dirname "$0")/script_hosts.sh" "$@"
start_bob() { start_scripted bob 3 --user Bob --peer Alice "${irc[@]}" "$@"; } # his script on descriptor 3
end_bob() { # WHEN: the script's end shuts Bob down
  exec 3>&-
  status=0
  wait "$bob" || status=$?
  bob=
  kelvaron_stop_irc_server
  [ "$status" -eq 0 ] || fail "$1: Bob ended with status $status"
}

kelvaron_start_irc_server "$work/irc"
irc=(--irc "127.0.0.1:$KELVARON_IRC_PORT")
start_bob
wait_for '^irc: logged in' "$work/bob.out" || fail "chat: Bob did not log in"
status=0
"$wine_run" "$devhost" --user Bob "${irc[@]}" --script </dev/null >"$work/twin.out" 2>&1 3>&- || status=$?
[ "$status" -eq 3 ] || fail "chat: a second Bob: status $status, not 3"
grep -qx "devhost: the nick Bob is already taken on 127.0.0.1:$KELVARON_IRC_PORT" "$work/twin.out" ||
  fail "chat: a second Bob: $(cat "$work/twin.out")"
for user in Alice Carol; do
  printf 'send Bob Привет, Bob\nwait 200\n' | "$wine_run" "$devhost" --user "$user" --contact Bob "${irc[@]}" \
    --script >"$work/$user.out" 3>&-
  wait_for "^chat $user: " "$work/bob.out" || fail "chat: nothing from $user"
done
end_bob chat
diff -u <(printf '%s\n' "irc: logged in to 127.0.0.1:$KELVARON_IRC_PORT as Bob" 'status Alice: online' \
  'chat Alice: Привет, Bob' 'status Alice: offline' 'status Carol: online' 'chat Carol: Привет, Bob' \
  'status Carol: offline') "$work/bob.out" || fail "chat: Bob's log differs"

hidden_item='^error: contact Alice has no menu item 0 (it shows 0)$'
# How Alice leaves: "script" (her script ends, which shuts her host down), "kill", or "server".
for leaving in script kill server; do
  # A killed host's connection can outlive it where a Wine process it started holds the socket too:
  # then the server learns of its end only when pings go unanswered, which these servers ask for soon.
  kelvaron_start_irc_server "$work/irc-$leaving" generous 5
  irc=(--irc "127.0.0.1:$KELVARON_IRC_PORT")
  start_bob --autoplay 2 --games 1000 --delay 0
  alice_play=(--user Alice --peer Bob "${irc[@]}" --autoplay 1 --autoplay-starts --games 1000 --delay 5
    --quiet)
  # Alice (and the Wine services she may start) must not hold Bob's script open: its end ends him.
  if [ "$leaving" = script ]; then
    printf 'wait 1500\n' | "$wine_run" "$devhost" "${alice_play[@]}" --script >"$work/alice.out" 3>&- &
    alice=$!
  else
    "$wine_run" "$devhost" "${alice_play[@]}" >"$work/alice.out" 3>&- &
    alice=$!
    wait_for '^move Alice: ' "$work/alice.out" || fail "$leaving: Alice never moved"
    sleep 1
    if [ "$leaving" = kill ]; then kill -9 "$alice"; else kill -9 "$KELVARON_IRC_PID"; fi
  fi
  alice_status=0
  wait "$alice" || alice_status=$?
  alice=
  wait_for '^status Alice: offline$' "$work/bob.out" || fail "$leaving: Bob did not see Alice leave"
  grep -q '^move Bob: ' "$work/bob.out" || fail "$leaving: Bob never moved before Alice left"

  printf 'click 100 400\nbutton\nmenu Alice\nsend Alice are you there?\n' >&3
  if [ "$leaving" = server ]; then
    [ "$alice_status" -eq 0 ] || fail "$leaving: Alice ended with status $alice_status"
    grep -q '^irc: the connection to .* has ended$' "$work/alice.out" ||
      fail "$leaving: Alice did not report the loss"
    printf 'close\nclick 100 400\n' >&3
    lost=1
  else
    printf 'wait 5000\nclose\n' | "$wine_run" "$devhost" --user Alice --contact Bob "${irc[@]}" --script \
      >"$work/alice.out" 3>&- &
    alice=$!
    wait_for '^status Alice: online$' "$work/bob.out" 2 || fail "$leaving: Bob did not see Alice come back"
    printf 'close\nmenu Alice\nwait 200\n' >&3
    wait "$alice" || fail "$leaving: Alice's second host failed"
    alice=
    ! grep -q '^error: no game window$' "$work/alice.out" ||
      fail "$leaving: Bob's new game did not reach Alice"
    lost=0
  fi
  end_bob "$leaving"

  after=$(sed -n '/^status Alice: offline$/,$p' "$work/bob.out" | grep -v '^move \|^summary: ')
  [ "$(grep -c "$hidden_item" <<<"$after")" -eq 1 ] || fail "$leaving: the menu item was not hidden once"
  [ "$(grep -c '^error: no game window$' <<<"$after")" -eq "$lost" ] ||
    fail "$leaving: the game window did not stay (or, after the server went, close)"
  grep -q '^irc: not sent to Alice (.*): are you there?$' <<<"$after" ||
    fail "$leaving: a text to Alice while she was away was not reported"
  back=$(sed -n '/^status Alice: online$/,$p' <<<"$after")
  [ "$lost" = 1 ] || grep -q '^sent Alice: @@Kelvaron@@' <<<"$back" || fail "$leaving: the new game was not sent"
  ! grep -v "^sent Alice: \|^error: no game window$\|$hidden_item\|^status \|^irc: " <<<"$after" ||
    fail "$leaving: unexpected lines after Alice left"
done
echo "devhost presence test passed"
