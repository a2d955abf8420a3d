#!/usr/bin/env bash
# Two devhost.exe processes under Wine, linked over TCP on 127.0.0.1: Alice chooses the stand-in's menu
# item for Bob, whose copy of the stand-in passes the greeting on to Bob's chat.
# Arguments: scripts/wine-run.sh, devhost.exe, the folder of the stand-in plug-ins.
set -euo pipefail
wine_run=$1
devhost=$2
cd "$3"
port=$((20000 + RANDOM % 20000))
work=$(mktemp -d)
bob=
cleanup() {
  exec 3>&- # the end of Bob's script shuts Bob down
  [ -z "$bob" ] || wait "$bob" || true
  rm -rf "$work"
}
trap cleanup EXIT

# Bob reads his script from a pipe the test keeps open until Alice's text has arrived.
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
echo "devhost two-host test passed"
