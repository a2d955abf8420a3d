#!/usr/bin/env bash
# Writes PNG pictures of the real game window under Xvfb, with the real card picture and a Russian
# locale, in six states (a fresh deal, defending, a throw-in with two cards chosen, a crowded hand,
# lost, won mid-blink), into the given folder (default docs/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots}
source scripts/common.sh
./scripts/setup.sh >/dev/null
kelvaron_pick_windows_arch
build=$(kelvaron_windows_build_dir)
kelvaron_configure_windows "$KELVARON_WINDOWS_ARCH"
cmake --build "$build" -j"$(nproc)" --target table_screenshots >/dev/null
export KELVARON_WINEPREFIX=${KELVARON_WINEPREFIX:-$(kelvaron_default_wineprefix)}
./scripts/wine-prefix.sh "$KELVARON_WINEPREFIX"
mkdir -p "$out"
# Wine's drive Z: is the root of the file system.
target="Z:$(cd "$out" && pwd | tr / '\\')"
root=$(pwd)
cd "$build/miranda"
xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/wine-run.sh" ./table_screenshots.exe "$target"
