#!/usr/bin/env bash
# Two devhost.exe auto-players with the real plug-in; Alice leaves in the middle of their games, once
# by her script's end and once killed. Bob must say "peer: disconnected", keep obeying his script (the
# game window still takes clicks and closes; a new game is sent into the void and printed), and end
# with status 0.
# Arguments: scripts/wine-run.sh, devhost.exe, the messenger's folder with Plugins\Kelvaron.dll.
set -euo pipefail
wine_run=$1
source "$(dirname "$wine_run")/common.sh"
devhost=$2
cd "$3"
work=$(mktemp -d)
alice=
bob=
cleanup() {
  exec 3>&- 2>/dev/null || true
  for pid in $alice $bob; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "devhost peer-exit test ($1): $2" >&2
  tail -n 15 "$work/bob.out" >&2 || true
  exit 1
}

wait_for() { # LINE-PATTERN FILE: up to 30 s
  for _ in $(seq 150); do
    grep -q "$1" "$2" && return 0
    sleep 0.2
  done
  return 1
}

# How Alice leaves: "script" (her script ends, which shuts her host down) or "kill".
for leaving in script kill; do
  port=$(kelvaron_free_port)
  rm -f "$work/bob.script"
  mkfifo "$work/bob.script"
  "$wine_run" "$devhost" --user Bob --peer Alice --listen "$port" --autoplay 2 --delay 0 --script \
    <"$work/bob.script" >"$work/bob.out" &
  bob=$!
  exec 3>"$work/bob.script"
  # Alice (and the Wine services she may start) must not hold Bob's script open: its end ends him.
  if [ "$leaving" = script ]; then
    printf 'wait 1500\n' | "$wine_run" "$devhost" --user Alice --peer Bob --connect "$port" --autoplay 1 \
      --autoplay-starts --games 1000 --delay 5 --quiet --script >"$work/alice.out" 3>&- &
    alice=$!
  else
    "$wine_run" "$devhost" --user Alice --peer Bob --connect "$port" --autoplay 1 --autoplay-starts \
      --games 1000 --delay 5 --quiet >"$work/alice.out" 3>&- &
    alice=$!
    wait_for '^move Alice: ' "$work/alice.out" || fail "$leaving" "Alice never moved"
    sleep 1
    kill -9 "$alice"
  fi
  wait "$alice" || true
  alice=
  wait_for '^peer: disconnected$' "$work/bob.out" || fail "$leaving" "Bob did not see Alice leave"
  grep -q '^move Bob: ' "$work/bob.out" || fail "$leaving" "Bob never moved before Alice left"

  printf 'click 100 400\nbutton\nclose\nclick 100 400\nmenu Alice\nwait 100\nclose\n' >&3
  exec 3>&- # the script's end shuts Bob down
  status=0
  wait "$bob" || status=$?
  bob=
  [ "$status" -eq 0 ] || fail "$leaving" "Bob ended with status $status"
  after=$(sed -n '/^peer: disconnected$/,$p' "$work/bob.out" | grep -v '^move \|^summary: ')
  [ "$(grep -c '^error: no game window$' <<<"$after")" -eq 1 ] ||
    fail "$leaving" "only the click after the close may find no window"
  grep -q '^sent Alice: @@Kelvaron@@' <<<"$after" || fail "$leaving" "the new game was not sent"
  ! grep -v '^sent Alice: @@Kelvaron@@\|^error: no game window$\|^peer: disconnected$' <<<"$after" ||
    fail "$leaving" "unexpected lines after Alice left"
done
echo "devhost peer-exit test passed"
