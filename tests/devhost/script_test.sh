#!/usr/bin/env bash
# devhost.exe under Wine with the stand-in plug-in: a script on standard input, every line it prints
# checked; plug-ins the host refuses end it with status 2; and two hosts linked over TCP on 127.0.0.1,
# where Alice's greeting from the stand-in's menu item reaches Bob's chat byte for byte.
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

# Bob reads his script from a pipe the test keeps open until Alice's text has arrived.
port=$(kelvaron_free_port)
mkfifo "$work/bob.script"
"$wine_run" "$devhost" --plugin good.dll --user Bob --peer Alice --listen "$port" --script \
  <"$work/bob.script" >"$work/bob.out" &
bob=$!
exec 3>"$work/bob.script"
printf 'menu Bob\nwait 200\n' |
  "$wine_run" "$devhost" --plugin good.dll --user Alice --peer Bob --connect "$port" --script >"$work/alice.out" 3>&-
for _ in $(seq 150); do
  grep -q '^chat Alice: ' "$work/bob.out" && break
  sleep 0.2
done
echo shutdown >&3
exec 3>&-
wait "$bob"
bob=
diff -u <(echo 'sent Bob: Привет, Bob') "$work/alice.out"
# Alice may have left before Bob's script ended: Bob then says so.
diff -u <(echo 'chat Alice: Привет, Bob') <(grep -v '^peer: disconnected$' "$work/bob.out")
echo "devhost script test passed"
