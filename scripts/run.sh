#!/usr/bin/env bash
# The main job: builds everything and plays Durak between two development hosts under Wine, one per
# player (Alice and Bob), each with Kelvaron.dll loaded, meeting on an IRC server (ngIRCd) that this
# script starts on a free loopback port and stops at the end.
#   With a display ($DISPLAY set): two host windows. You play Alice, and Bob too unless --auto lets
#   the auto-player play Bob. Start a game from a contact's right-click menu.
#   Without a display, or with --headless: one game under Xvfb between two auto-players, each checking
#   the plug-in as it plays (the texts it sends, the window after every state). Every move and both
#   sides' outcomes are printed, and pictures of both game windows go to a folder named at the end.
# Options: --headless  --auto  --games N  --seed N  --delay MS  --out DIR
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

headless=0; auto=0; games=1; seed=$(( $(date +%s) % 100000 )); delay=""; out=""
while [ $# -gt 0 ]; do
  case $1 in
    --headless) headless=1 ;;
    --auto) auto=1 ;;
    --games) games=$2; shift ;;
    --seed) seed=$2; shift ;;
    --delay) delay=$2; shift ;;
    --out) out=$2; shift ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 1 ;;
  esac
  shift
done
[ -n "${DISPLAY:-}" ] || headless=1

source scripts/common.sh
./scripts/setup.sh
kelvaron_pick_windows_arch
echo "== building ($KELVARON_WINDOWS_ARCH)"
kelvaron_prepare_windows --wine --quiet devhost Kelvaron card_picture package_zip
build=$kelvaron_build
echo "built $build/miranda/Plugins/Kelvaron.dll and $(kelvaron_package_zip)"
irc_dir=$(mktemp -d)
trap 'kelvaron_stop_irc_server; rm -rf "$irc_dir"' EXIT
kelvaron_start_irc_server "$irc_dir"
irc=127.0.0.1:$KELVARON_IRC_PORT
echo "== the IRC server ngIRCd on $irc"
wine_run=$root/scripts/wine-run.sh
cd "$build/miranda"

if [ "$headless" = 0 ]; then
  echo "== two hosts on this desktop: right-click Bob in Alice's window and choose «Игра в дурака»"
  bob_play=()
  [ "$auto" = 1 ] && bob_play=(--autoplay "$seed" --delay "${delay:-600}")
  "$wine_run" ./devhost.exe --user Alice --peer Bob --irc "$irc" --quiet &
  "$wine_run" ./devhost.exe --user Bob --peer Alice --irc "$irc" --quiet "${bob_play[@]}"
  wait
  exit 0
fi

out=${out:-$root/screenshots/game-$(date +%Y%m%d-%H%M%S)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
echo "== a headless game between two auto-players (seed $seed)"
export irc seed games out wine_run
export delay=${delay:-0}
kelvaron_xvfb bash -c '
  snapshots="Z:$(tr / "\\\\" <<<"$out")" # Wine drive Z: is the root of the file system
  show() { sed -u -e "s/^move //" -e "/^\(Alice\|Bob\):/!s/^/[$1] /"; }
  "$wine_run" ./devhost.exe --user Alice --peer Bob --irc "$irc" --autoplay "$seed" --autoplay-starts \
    --games "$games" --delay "$delay" --check --quiet --snapshots "$snapshots" 2>&1 | show Alice &
  "$wine_run" ./devhost.exe --user Bob --peer Alice --irc "$irc" --autoplay "$((seed + 1))" \
    --games "$games" --delay "$delay" --check --quiet --snapshots "$snapshots" 2>&1 | show Bob
  wait' | tee "$out/moves.txt"
echo "== pictures of both game windows: $out"
