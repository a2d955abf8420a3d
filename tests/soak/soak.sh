#!/usr/bin/env bash
# Soak: two development hosts, each with Kelvaron.dll, play many whole games against each other through
# an IRC server of the test's own and their game windows (auto-players with --check). Passes when both
# hosts finish every game with all checks passing, the two sides' outcomes agree game by game (won
# against lost, draw with draw), nothing ever reaches either chat log, the plug-in's GDI objects,
# device contexts and GDI+ images are all freed, and the memory stays flat.
# Usage: soak.sh MIRANDA_FOLDER [GAMES]   (GAMES default: $KELVARON_SOAK_GAMES or 50)
set -uo pipefail
folder=$1
games=${2:-${KELVARON_SOAK_GAMES:-50}}
max_memory_growth_kb=${KELVARON_SOAK_MEMORY_KB:-4096}
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
wine_run=$scripts/wine-run.sh
source "$scripts/common.sh"
work=$(mktemp -d)
trap 'kelvaron_stop_irc_server; rm -rf "$work"' EXIT
kelvaron_start_irc_server "$work/irc" || exit 1
irc=(--irc "127.0.0.1:$KELVARON_IRC_PORT")
cd "$folder"

"$wine_run" ./devhost.exe --user Alice --peer Bob "${irc[@]}" --autoplay 1 --autoplay-starts \
  --games "$games" --delay 0 --check --quiet >"$work/alice" 2>&1 &
alice=$!
"$wine_run" ./devhost.exe --user Bob --peer Alice "${irc[@]}" --autoplay 2 \
  --games "$games" --delay 0 --check --quiet >"$work/bob" 2>&1
bob_status=$?
wait "$alice"
alice_status=$?

failed=0
fail() { echo "soak: $*"; failed=1; }
[ "$alice_status" -eq 0 ] || fail "Alice's host exited with status $alice_status"
[ "$bob_status" -eq 0 ] || fail "Bob's host exited with status $bob_status"
for side in alice bob; do
  grep -h '^check: FAILED' "$work/$side" | head -5 | sed "s/^/soak: $side: /"
  if grep -q '^chat ' "$work/$side"; then fail "$side: a text reached the chat log"; fi
  summary=$(grep '^summary:' "$work/$side" | tail -1)
  echo "$side $summary"
  [[ $summary == *"games=$games "* ]] || fail "$side did not finish $games games"
  [[ $summary == *"checks=ok"* ]] || fail "$side: checks failed"
  [[ $summary == *" gdi=0 dcs=0 images=0 "* ]] || fail "$side: the plug-in leaked drawing objects"
  first=$(sed -n 's/.*memory-kb=\([0-9]*\)->.*/\1/p' <<<"$summary")
  last=$(sed -n 's/.*memory-kb=[0-9]*->\([0-9]*\).*/\1/p' <<<"$summary")
  if [ -n "$first" ] && [ -n "$last" ] && [ $((last - first)) -gt "$max_memory_growth_kb" ]; then
    fail "$side: memory grew from $first KB to $last KB"
  fi
done
# The outcomes, game by game, must be mirror images.
paste <(sed -n 's/^game \([0-9]*\) over: \(.*\)$/\1 \2/p' "$work/alice") \
      <(sed -n 's/^game \([0-9]*\) over: \(.*\)$/\1 \2/p' "$work/bob") >"$work/outcomes"
agreeing=$(awk '($1 == $3) && (($2 == "won" && $4 == "lost") || ($2 == "lost" && $4 == "won") || ($2 == "draw" && $4 == "draw"))' "$work/outcomes" | wc -l)
[ "$agreeing" -eq "$games" ] || fail "only $agreeing of $games games ended with agreeing outcomes"
moves=$(cat "$work/alice" "$work/bob" | grep -c '^move ')
echo "soak: $games games, $moves moves, outcomes agreeing in $agreeing"
if [ "$failed" -ne 0 ]; then
  echo "--- last lines of Alice's host"; tail -n 15 "$work/alice"
  echo "--- last lines of Bob's host"; tail -n 15 "$work/bob"
fi
exit "$failed"
