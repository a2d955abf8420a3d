#!/usr/bin/env bash
# Two devhost.exe auto-players with the real plug-in, linked over TCP: three whole games with every
# check on. Both must end with status 0, see the same three outcomes from opposite sides, and sum up
# with checks=ok; Alice's moves must reach Bob (matched by text, later on the shared clock), and her
# snapshots must be there.
# Arguments: scripts/wine-run.sh, devhost.exe, the messenger's folder with Plugins\Kelvaron.dll.
set -euo pipefail
wine_run=$1
source "$(dirname "$wine_run")/common.sh"
devhost=$2
cd "$3"
games=3
port=$(kelvaron_free_port)
work=$(mktemp -d)
bob=
cleanup() {
  [ -z "$bob" ] || kill "$bob" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "devhost autoplay test: $*" >&2
  for side in alice bob; do
    echo "--- $side (last lines)" >&2
    tail -n 15 "$work/$side.out" >&2 || true
  done
  exit 1
}

common=(--games "$games" --delay 0 --check --quiet --timing)
"$wine_run" "$devhost" --user Bob --peer Alice --listen "$port" --autoplay 2 "${common[@]}" \
  >"$work/bob.out" &
bob=$!
alice_status=0
"$wine_run" "$devhost" --user Alice --peer Bob --connect "$port" --autoplay 1 --autoplay-starts \
  --snapshots "Z:${work//\//\\}" "${common[@]}" \
  >"$work/alice.out" || alice_status=$?
bob_status=0
wait "$bob" || bob_status=$?
bob=
[ "$alice_status" -eq 0 ] || fail "Alice ended with status $alice_status"
[ "$bob_status" -eq 0 ] || fail "Bob ended with status $bob_status"

# A failed check shows as checks=FAILED in the summary, and in the last lines fail() prints.
for side in alice bob; do
  grep -q "^summary: games=$games .* checks=ok gdi=0 dcs=0 images=0 " "$work/$side.out" ||
    fail "$side's summary is not clean"
done
grep -q '^peer: disconnected$' "$work/bob.out" || fail "Bob did not see Alice leave"

# Each side's outcome of game K is the other side's, seen from across the table.
opposite() { case $1 in won) echo lost ;; lost) echo won ;; *) echo "$1" ;; esac; }
paste -d' ' <(grep '^game ' "$work/alice.out") <(grep '^game ' "$work/bob.out") |
  while read -r _ k _ alice _ k2 _ bob_outcome; do
    [ "$k $bob_outcome" = "$k2 $(opposite "$alice")" ] || fail "game $k: Alice $alice; game $k2: Bob $bob_outcome"
  done

# Every state Alice's plug-in sent was adopted by Bob's, after it was sent.
awk '$1 == "timing" && $2 == "click" { print $4, $3 }' "$work/alice.out" | sort >"$work/clicked"
awk '$1 == "timing" && $2 == "adopted" { print $4, $3 }' "$work/bob.out" | sort >"$work/adopted"
[ -s "$work/clicked" ] || fail "Alice printed no timings"
join "$work/clicked" "$work/adopted" >"$work/pairs"
[ "$(wc -l <"$work/pairs")" -eq "$(wc -l <"$work/clicked")" ] || fail "some of Alice's states never reached Bob"
awk '$3 < $2 { bad = 1 } END { exit bad }' "$work/pairs" || fail "a state was adopted before it was sent"

for picture in Alice-game1-deal Alice-game1-end Alice-game2-end Alice-game$games-end; do
  [ -s "$work/$picture.png" ] || fail "no $picture.png"
done
echo "devhost autoplay test passed"
