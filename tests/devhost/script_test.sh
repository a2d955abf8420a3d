#!/usr/bin/env bash
# devhost.exe under Wine with the stand-in plug-in: a script on standard input, every line it prints
# checked; plug-ins the host refuses end it with status 2; and hosts that meet on an IRC server (below).
# Arguments: scripts/wine-run.sh, devhost.exe, the folder of the stand-in plug-ins.
set -euo pipefail
wine_run=$1
source "$(dirname "$wine_run")/common.sh"
devhost=$2
cd "$3"
work=$(mktemp -d)
bob=
cleanup() {
  exec 3>&- # the end of Bob's script shuts Bob down
  [ -z "$bob" ] || wait "$bob" || true
  kelvaron_stop_irc_server
  rm -rf "$work"
}
trap cleanup EXIT

"$wine_run" "$devhost" --plugin good.dll --contact Alice --contact Bob:offline --script >"$work/out" <<'SCRIPT'
# Comments and blank lines are skipped.

contact Carol
contact Carol
recv Alice Привет,	мир  (spaces kept)
recv Alice #standin kept by the plug-in's module
recv Alice #standin box
recv Carol no module on this contact: straight to the chat
menu Alice
menu Bob
menu Carol 0
menu Dave
click 1 2
button
close
snap picture.png
wait 50
frobnicate now
shutdown
recv Alice never read
SCRIPT

expected=(
  'error: contact Carol exists already'
  'chat Alice: Привет,\tмир  (spaces kept)'
  'box Stand-in: The plug-in kept\na text.'
  'chat Carol: no module on this contact: straight to the chat'
  'sent Alice: Привет, Alice'
  'error: contact Bob has no menu item 0 (it shows 0)'
  'sent Carol: Привет, Carol'
  'error: no contact Dave'
  'error: no game window'
  'error: no game window with an action button'
  'error: no game window'
  'error: no game window'
  'error: cannot run "frobnicate ...": unknown command or wrong arguments'
)
diff -u <(printf '%s\n' "${expected[@]}") "$work/out"

for refused in "declines.dll Declined" "size_39.dll BadInfoSize" "missing.dll DllMissing"; do
  set -- $refused
  status=0
  "$wine_run" "$devhost" --plugin "$1" --script </dev/null >"$work/out" || status=$?
  [ "$status" -eq 2 ] || { echo "$1: status $status, not 2"; exit 1; }
  diff -u <(echo "devhost: plug-in refused: $2") "$work/out"
done

# Two hosts on an IRC server of the test's own. Bob reads his script from a pipe the test keeps open
# until the texts have arrived: Alice's greeting from the stand-in's menu item, and Carol's, who is not
# his contact (a stranger). They must reach his chat byte for byte. A third host that logs in as Bob
# meanwhile is refused (status 3).
kelvaron_start_irc_server "$work/irc"
irc=(--irc "127.0.0.1:$KELVARON_IRC_PORT")
mkfifo "$work/bob.script"
"$wine_run" "$devhost" --plugin good.dll --user Bob --peer Alice "${irc[@]}" --script \
  <"$work/bob.script" >"$work/bob.out" &
bob=$!
exec 3>"$work/bob.script"
wait_for() { # LINE-PATTERN FILE: up to 30 s
  for _ in $(seq 150); do
    grep -q "$1" "$2" && return 0
    sleep 0.2
  done
  echo "no line $1 in $2:"; cat "$2"; exit 1
}
wait_for '^irc: logged in' "$work/bob.out"
status=0
"$wine_run" "$devhost" --plugin good.dll --user Bob "${irc[@]}" --script </dev/null >"$work/twin.out" 2>&1 ||
  status=$?
[ "$status" -eq 3 ] || { echo "a second Bob: status $status, not 3"; exit 1; }
diff -u <(echo "devhost: the nick Bob is already taken on 127.0.0.1:$KELVARON_IRC_PORT") "$work/twin.out"

# The longest text that fits one IRC line as the server relays it to Bob (":Alice!~devhost@127.0.0.1
# PRIVMSG Bob :" before it) arrives whole; one byte more is not sent.
fits=$(printf 'L%.0s' $(seq 471))
printf 'menu Bob\nsend Bob %s\nsend Bob %s\nwait 200\n' "$fits" "${fits}L" |
  "$wine_run" "$devhost" --plugin good.dll --user Alice --peer Bob "${irc[@]}" --script >"$work/alice.out" 3>&-
wait_for '^chat Alice: L' "$work/bob.out"
printf 'menu Bob\nwait 200\n' | "$wine_run" "$devhost" --plugin good.dll --user Carol --contact Bob "${irc[@]}" \
  --script >"$work/carol.out" 3>&-
wait_for '^chat Carol: ' "$work/bob.out"
echo shutdown >&3
exec 3>&-
wait "$bob"
bob=
diff -u <(printf '%s\n' "irc: logged in to 127.0.0.1:$KELVARON_IRC_PORT as Alice" 'status Bob: online' \
  'sent Bob: Привет, Bob' "sent Bob: $fits" "sent Bob: ${fits}L" \
  "irc: not sent to Bob (472 bytes, where one IRC line holds 471): ${fits}L") "$work/alice.out"
# Bob sees Alice and Carol come and go (Carol, not a contact, from her first text on).
diff -u <(printf '%s\n' "irc: logged in to 127.0.0.1:$KELVARON_IRC_PORT as Bob" 'status Alice: online' \
  'chat Alice: Привет, Bob' "chat Alice: $fits" 'status Alice: offline' 'status Carol: online' \
  'chat Carol: Привет, Bob' 'status Carol: offline') "$work/bob.out"
echo "devhost script test passed"
