#!/usr/bin/env bash
# Tests the 32-bit build on a machine whose kernel cannot run 32-bit programs: builds build/windows in
# full, with time limits for a slower machine, makes a 64-bit Wine prefix for the cross-architecture
# game, and boots an emulated machine (boot.sh) that runs suite-32bit.sh. Fails when anything inside
# fails; the guest's console log stays in build/guest/console.log, the tests' whole output in
# build/guest/share/LastTest.log.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/common.sh
# The emulated machine runs the tests 10-20 times slower than this one; their time limits, generous
# already, are made five times as long. The whole run is stopped after 25 minutes.
time_scale=5
limit_seconds=1500
echo "the 32-bit build runs in an emulated machine (QEMU without hardware acceleration, on Debian's kernel)"
kelvaron_configure_windows i686 -DKELVARON_WERROR=ON -DKELVARON_TEST_TIME_SCALE=$time_scale
cmake --build build/windows -j"$(nproc)"
# Bob's side of the cross-architecture game: the 64-bit development host and a prefix for it.
kelvaron_configure_windows x86_64 -DKELVARON_WERROR=ON
cmake --build build/windows-x64 -j"$(nproc)" --target devhost card_picture
bob_prefix=$PWD/build/guest/bob-prefix
remove_bob_prefix() {
  KELVARON_WINDOWS_ARCH=x86_64 kelvaron_stop_wine "$bob_prefix"
  rm -rf "$bob_prefix"
}
remove_bob_prefix
trap remove_bob_prefix EXIT
./scripts/wine-prefix.sh "$bob_prefix" x86_64

started=$SECONDS
status=0
bash scripts/guest/boot.sh "$limit_seconds" "bash scripts/guest/suite-32bit.sh $time_scale $bob_prefix" ||
  status=$?
echo "the emulated machine ran for $((SECONDS - started)) s"
exit "$status"
