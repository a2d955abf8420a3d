#!/usr/bin/env bash
# Runs every test: the portable core natively under sanitizers, the Windows build under Wine inside
# Xvfb (one fresh Wine prefix for the whole run), and a short fuzzing run of the message decoder.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
jobs=$(nproc)

echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake -S . -B build/native-test -DKELVARON_SANITIZE=ON -DKELVARON_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native-test -j"$jobs"
ctest --test-dir build/native-test --output-on-failure

echo "== Windows tests under Wine"
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DKELVARON_WERROR=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/windows -j"$jobs"
KELVARON_WINEPREFIX=$(mktemp -d /tmp/kelvaron-wine.XXXXXX)
export KELVARON_WINEPREFIX
cleanup() {
  WINEPREFIX=$KELVARON_WINEPREFIX wineserver -k 2>/dev/null || true
  rm -rf "$KELVARON_WINEPREFIX"
}
trap cleanup EXIT
./scripts/wine-prefix.sh "$KELVARON_WINEPREFIX"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/windows --output-on-failure

echo "== fuzzing the message decoder"
./scripts/fuzz.sh "${KELVARON_FUZZ_SECONDS:-30}"
echo "All tests passed."
