#!/usr/bin/env bash
# A 32-bit and a 64-bit copy of the plug-in play each other: Alice's development host and plug-in are
# one build, Bob's the other, meeting on an IRC server of the test's own. Both auto-players check every
# message, so each
# copy must adopt exactly the texts the other sends, and both must see the same outcomes.
# Usage: cross_arch_test.sh ALICE_MIRANDA_FOLDER ALICE_PREFIX BOB_MIRANDA_FOLDER BOB_PREFIX [GAMES]
set -euo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
source "$scripts/common.sh"
alice_folder=$1 alice_prefix=$2 bob_folder=$3 bob_prefix=$4 games=${5:-3}
work=$(mktemp -d)
alice=
cleanup() {
  [ -z "$alice" ] || kill "$alice" 2>/dev/null || true
  kelvaron_stop_irc_server
  rm -rf "$work"
}
trap cleanup EXIT
kelvaron_start_irc_server "$work/irc"
common=(--irc "127.0.0.1:$KELVARON_IRC_PORT" --games "$games" --delay 0 --check --quiet)

(cd "$alice_folder" && WINEPREFIX=$alice_prefix "$scripts/wine-run.sh" ./devhost.exe --user Alice --peer Bob \
  --autoplay 1 --autoplay-starts "${common[@]}" >"$work/alice" 2>&1) &
alice=$!
status=0
(cd "$bob_folder" && WINEPREFIX=$bob_prefix "$scripts/wine-run.sh" ./devhost.exe --user Bob --peer Alice \
  --autoplay 2 "${common[@]}" >"$work/bob" 2>&1) || status=$?
wait "$alice" || status=$?
alice=

outcomes() { sed -n 's/^game \([0-9]*\) over: \(.*\)$/\1 \2/p' "$work/$1"; }
mirrored=$(paste -d' ' <(outcomes alice) <(outcomes bob) |
  awk '$1 == $3 && (($2 == "won" && $4 == "lost") || ($2 == "lost" && $4 == "won") || ($2 == $4 && $2 == "draw"))' |
  wc -l)
for side in alice bob; do
  if [ "$status" -ne 0 ] || [ "$mirrored" -ne "$games" ] || ! grep -q "^summary: games=$games .*checks=ok" "$work/$side"; then
    echo "cross-architecture game failed (status $status, $mirrored of $games outcomes mirrored)"
    tail -n 15 "$work/alice" "$work/bob"
    exit 1
  fi
done
echo "cross-architecture game: $games games between $(basename "$(dirname "$alice_folder")") and $(basename "$(dirname "$bob_folder")"), every message checked, outcomes mirrored"
