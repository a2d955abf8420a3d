#!/usr/bin/env bash
# Runs every test: the portable core natively under sanitizers; both plug-in archives checked without
# running them; the Windows build that this machine can run (32-bit, or else x86_64) under Wine inside
# Xvfb, with one fresh Wine prefix for the whole run; where it cannot run the 32-bit build, that build's
# tests in an emulated machine (scripts/guest/); a short fuzzing run of the message decoder.
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
# picked one's. Where both can run, its development host is built too, for a game between the two.
other_arch=i686
[ "$KELVARON_WINDOWS_ARCH" = i686 ] && other_arch=x86_64
other_build=$(kelvaron_windows_build_dir "$other_arch")
cross_game=0
kelvaron_can_run_32bit && cross_game=1
echo "== the $other_arch plug-in archive (checked without running it)"
kelvaron_configure_windows "$other_arch" -DKELVARON_WERROR=ON
other_targets=(package_zip)
[ "$cross_game" = 1 ] && other_targets+=(devhost card_picture)
cmake --build "$other_build" -j"$jobs" --target "${other_targets[@]}"
bash tests/package/package_test.sh "$(kelvaron_package_zip "$other_arch")" "$other_arch"

echo "== Windows tests under Wine ($KELVARON_WINDOWS_ARCH build)"
build=$(kelvaron_windows_build_dir)
kelvaron_configure_windows "$KELVARON_WINDOWS_ARCH" -DKELVARON_WERROR=ON -DKELVARON_TEST_TIME_SCALE=1
cmake --build "$build" -j"$jobs"
KELVARON_WINEPREFIX=$(mktemp -d /tmp/kelvaron-wine.XXXXXX)
other_prefix=$(mktemp -d /tmp/kelvaron-wine.XXXXXX)
export KELVARON_WINEPREFIX
cleanup() {
  kelvaron_stop_wine "$KELVARON_WINEPREFIX"
  KELVARON_WINDOWS_ARCH=$other_arch kelvaron_stop_wine "$other_prefix"
  rm -rf "$KELVARON_WINEPREFIX" "$other_prefix"
}
trap cleanup EXIT
./scripts/wine-prefix.sh "$KELVARON_WINEPREFIX"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$build" --output-on-failure

if [ "$cross_game" = 1 ]; then
  echo "== a 32-bit and a 64-bit copy of the plug-in playing each other"
  ./scripts/wine-prefix.sh "$other_prefix" "$other_arch"
  KELVARON_BOB_FOLDER=$other_build/miranda KELVARON_BOB_PREFIX=$other_prefix \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash tests/hosts/two_hosts_test.sh "$build/miranda" 3
else
  echo "== Windows tests of the i686 build, and the 32-bit and 64-bit copies playing each other"
  ./scripts/guest/run-32bit-suite.sh
fi

echo "== fuzzing the message decoder"
./scripts/fuzz.sh "${KELVARON_FUZZ_SECONDS:-30}"
echo "All tests passed."
