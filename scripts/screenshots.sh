#!/usr/bin/env bash
# Writes PNG pictures of the real game window under Xvfb, with the real card picture and a Russian
# locale, in six states (a fresh deal, defending, a throw-in with two cards chosen, a crowded hand,
# lost, won mid-blink), into the given folder (default docs/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots}
source scripts/common.sh
./scripts/setup.sh >/dev/null
kelvaron_prepare_windows --wine --quiet table_screenshots
build=$kelvaron_build
mkdir -p "$out"
# Wine's drive Z: is the root of the file system.
target="Z:$(cd "$out" && pwd | tr / '\\')"
root=$(pwd)
cd "$build/miranda"
kelvaron_xvfb "$root/scripts/wine-run.sh" ./table_screenshots.exe "$target"
