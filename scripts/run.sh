#!/usr/bin/env bash
# The main job: builds both plug-in archives and plays Durak between two development hosts under Wine,
# one per player (Alice and Bob), each with Kelvaron.dll loaded and each the other's contact, linked by
# scripts/two_hosts.py, which relays the texts one sends to the other.
#   Without a display, or with --headless: games under Xvfb in which each host plays its side at
#   random through the real window, checking the plug-in at every step (the texts it sends, the window
#   against the game). Every move and both outcomes are printed; pictures of both game windows after
#   the deal and at the end go to a folder named at the end.
#   On a desktop: you play both sides in the two game windows. Type "alice menu" (Enter) to choose
#   «Игра в дурака» for Bob in Alice's host; any line "alice COMMAND" or "bob COMMAND" goes to that host's
#   script (docs/development-host.md).
# Options: --headless  --games N  --seed N  --out DIR
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

headless=0; games=1; seed=$(( $(date +%s) % 100000 )); out=""
while [ $# -gt 0 ]; do
  case $1 in
    --headless) headless=1 ;;
    --games) games=$2; shift ;;
    --seed) seed=$2; shift ;;
    --out) out=$2; shift ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 1 ;;
  esac
  shift
done
[ -n "${DISPLAY:-}" ] || headless=1

source scripts/common.sh
./scripts/setup.sh
kelvaron_pick_windows_arch
other=i686
[ "$KELVARON_WINDOWS_ARCH" = i686 ] && other=x86_64
echo "== building"
kelvaron_prepare_windows --arch "$other" --quiet package_zip
kelvaron_prepare_windows --wine --quiet devhost Kelvaron card_picture package_zip
build=$kelvaron_build
echo "built $(kelvaron_package_zip) and $(kelvaron_package_zip "$other")"
relay=("$root/scripts/two_hosts.py" --seed "$seed")
cd "$build/miranda"

if [ "$headless" = 0 ]; then
  echo "== two hosts on this desktop: type \"alice menu\" to deal, then play both sides in the game windows"
  exec python3 "${relay[@]}" --desktop
fi

out=${out:-$root/screenshots/game-$(date +%Y%m%d-%H%M%S)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
echo "== $games headless game(s) between two hosts, each checking the plug-in (seed $seed)"
kelvaron_xvfb python3 "${relay[@]}" --games "$games" --check --pictures "$out" | tee "$out/moves.txt"
echo "== pictures of both game windows: $out"
