#!/usr/bin/env bash
# The hostile run: devhost.exe's auto-player plays Bob against Alice, a peer who may send anything, while
# Carol, a stranger, sends too: $KELVARON_HOSTILE_TEXTS generated texts (default 3,000) fed in by a
# script, with the game window closed now and then. With --hostile --check the auto-player checks after
# every text that the window shows the game as it was or as the text makes it, the button too, that
# only texts that are no state message reach the chat, as they are, that nothing is sent back, and that
# the plug-in shows exactly the trace boxes the core does; its own moves meanwhile are checked as ever.
# Arguments: the scripts folder, devhost.exe; run in a messenger's folder with the colour picture.
set -euo pipefail
wine_run=$1/wine-run.sh
devhost=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
texts=${KELVARON_HOSTILE_TEXTS:-3000}
python3 "$(dirname "$0")/hostile_texts.py" "$texts" 20261207 >"$work/script"
status=0
# Bob starts no game of his own; --games is set so high that finished games never end his checks.
"$wine_run" "$devhost" --user Bob --peer Alice --autoplay 7 --hostile --check --games 1000000 --delay 0 \
  --quiet --script <"$work/script" >"$work/bob.out" 2>&1 || status=$?
if [ "$status" -ne 0 ] || ! grep -q '^summary: .* checks=ok ' "$work/bob.out"; then
  echo "hostile run: Bob ended with status $status" >&2
  grep -m 20 '^check: FAILED\|^error: ' "$work/bob.out" >&2 || tail -n 20 "$work/bob.out" >&2
  exit 1
fi
count() { grep -c "$1" "$work/bob.out" || true; }
echo "hostile run: $texts texts, $(count '^chat ') reached the chat, $(count '^box trace: ') trace boxes," \
  "$(count '^move Bob: ') moves of Bob's"
