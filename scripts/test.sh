#!/usr/bin/env bash
# Runs every test: the portable core natively under sanitizers; both plug-in archives checked without
# running them; the Windows build that this machine can run (32-bit, or else x86_64) under Wine inside
# Xvfb, with one fresh Wine prefix for the whole run; a short fuzzing run of the message decoder.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
./scripts/setup.sh
kelvaron_pick_windows_arch
jobs=$(nproc)

echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake --preset native-sanitize -DKELVARON_WERROR=ON >/dev/null
cmake --build build/native-test -j"$jobs"
ctest --test-dir build/native-test --output-on-failure

# The archive of the other architecture is built and checked here; its own build's tests check the
# picked one's.
for arch in i686 x86_64; do
  [ "$arch" = "$KELVARON_WINDOWS_ARCH" ] && continue
  echo "== the $arch plug-in archive (checked without running it)"
  kelvaron_configure_windows "$arch" -DKELVARON_WERROR=ON
  cmake --build "$(kelvaron_windows_build_dir "$arch")" -j"$jobs" --target package_zip
  bash tests/windows/package_test.sh "$(kelvaron_windows_build_dir "$arch")"/Kelvaron-*.zip "$arch"
done

echo "== Windows tests under Wine ($KELVARON_WINDOWS_ARCH build)"
build=$(kelvaron_windows_build_dir)
kelvaron_configure_windows "$KELVARON_WINDOWS_ARCH" -DKELVARON_WERROR=ON
cmake --build "$build" -j"$jobs"
KELVARON_WINEPREFIX=$(mktemp -d /tmp/kelvaron-wine.XXXXXX)
export KELVARON_WINEPREFIX
cleanup() {
  kelvaron_stop_wine "$KELVARON_WINEPREFIX"
  rm -rf "$KELVARON_WINEPREFIX"
}
trap cleanup EXIT
./scripts/wine-prefix.sh "$KELVARON_WINEPREFIX"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$build" --output-on-failure

echo "== fuzzing the message decoder"
./scripts/fuzz.sh "${KELVARON_FUZZ_SECONDS:-30}"
echo "All tests passed."
