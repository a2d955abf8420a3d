#!/usr/bin/env bash
# Runs every test, all through CTest (CMakePresets.json's test presets): installs what is missing,
# configures and builds, then runs the portable core natively under sanitizers; the other
# architecture's archive, checked without running it; every test of the Windows build that this
# machine can run (32-bit, or else x86_64) under Wine inside Xvfb, the Wine prefix being a CTest
# fixture; the 32-bit against the 64-bit copy where the machine runs both, or else the
# 32-bit build's tests in an emulated machine (scripts/guest/); a short fuzzing run of the decoder.
# Every group runs even when one before it failed; one line names each thing that did not run, and why.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
./scripts/setup.sh
kelvaron_pick_windows_arch
arch=$KELVARON_WINDOWS_ARCH
other=i686
[ "$arch" = i686 ] && other=x86_64
both=0
kelvaron_can_run_32bit && both=1

echo "== building"
cmake --preset native-sanitize -DKELVARON_WERROR=ON >/dev/null
cmake --build build/native-test -j"$(nproc)"
# The other architecture's archive; where this machine runs both, also its host for the game between
# the two copies, which the 32-bit build's tests hold (label cross-arch).
other_targets=(package_zip)
[ "$both" = 0 ] || other_targets+=(devhost card_picture)
kelvaron_prepare_windows --arch "$other" -DKELVARON_WERROR=ON "${other_targets[@]}"
# KELVARON_TEST_TIME_SCALE=1: the emulated run may have left a slower machine's time limits.
kelvaron_prepare_windows -DKELVARON_WERROR=ON -DKELVARON_TEST_TIME_SCALE=1
cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j"$(nproc)"

failed=()
group() { # TITLE COMMAND...: one CTest run; a failure is noted and the next group still runs
  local title=$1
  shift
  echo "== $title"
  "$@" || failed+=("$title")
}
group "native tests (AddressSanitizer, UndefinedBehaviorSanitizer)" ctest --preset native
group "the $arch build's tests under Wine" kelvaron_xvfb ctest --preset "windows-$arch"
other_labels=package
if [ "$both" = 1 ]; then
  # Only the 32-bit build has the cross-architecture game; in the picked one's run it has played.
  [ "$other" = x86_64 ] || other_labels="package|cross-arch"
  group "the $other build: ${other_labels/|/ and }" kelvaron_xvfb ctest --preset "windows-$other" -L "$other_labels"
  echo "not run: the emulated 32-bit suite (this machine runs 32-bit programs itself)"
  echo "not run: the $other build's other tests (the same sources' ran in the $arch build)"
else
  group "the $other build: package" ctest --preset "windows-$other" -L package
  group "the i686 build's tests in an emulated machine" ./scripts/guest/run-32bit-suite.sh
fi
group "fuzzing the message decoder" ctest --preset fuzz

if [ ${#failed[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "All tests passed."
