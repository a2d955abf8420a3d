#!/usr/bin/env bash
# Runs devhost.exe under Wine with a script on standard input and checks every line it prints;
# then checks that a plug-in the host refuses ends it with status 2.
# Arguments: scripts/wine-run.sh, devhost.exe, the folder of the stand-in plug-ins.
set -euo pipefail
wine_run=$1
devhost=$2
cd "$3"
output=$(mktemp)
trap 'rm -f "$output"' EXIT

"$wine_run" "$devhost" --plugin good.dll --contact Alice --contact Bob:offline --script >"$output" <<'SCRIPT'
# Comments and blank lines are skipped.

contact Carol
contact Carol
recv Alice Привет,	мир  (spaces kept)
recv Alice #standin kept by the plug-in's module
recv Alice #standin box
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
diff -u <(printf '%s\n' "${expected[@]}") "$output"

for refused in "declines.dll Declined" "size_39.dll BadInfoSize" "missing.dll DllMissing"; do
  set -- $refused
  status=0
  "$wine_run" "$devhost" --plugin "$1" --script </dev/null >"$output" || status=$?
  [ "$status" -eq 2 ] || { echo "$1: status $status, not 2"; exit 1; }
  diff -u <(echo "devhost: plug-in refused: $2") "$output"
done
echo "devhost script test passed"
