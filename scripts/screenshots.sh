#!/usr/bin/env bash
# Writes PNG pictures of the real game window under Xvfb, with the real card picture and a Russian
# locale, in six states (a fresh deal, defending, a throw-in with two cards chosen, a crowded hand,
# lost, won mid-blink), into the given folder (default docs/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots}
./scripts/setup.sh >/dev/null
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/windows -j"$(nproc)" --target table_screenshots >/dev/null
export KELVARON_WINEPREFIX=${KELVARON_WINEPREFIX:-$HOME/.wine-kelvaron}
./scripts/wine-prefix.sh "$KELVARON_WINEPREFIX"
mkdir -p "$out"
# Wine's drive Z: is the root of the file system.
target="Z:$(cd "$out" && pwd | tr / '\\')"
cd build/windows/miranda
xvfb-run -a -s "-screen 0 1280x1024x24" ../../../scripts/wine-run.sh ./table_screenshots.exe "$target"
