#!/usr/bin/env bash
# Tests the 32-bit build on a machine whose kernel cannot run 32-bit programs: builds build/windows in
# full, with time limits for a slower machine, and the 64-bit host for the cross-architecture game,
# whose 64-bit Wine prefix is made here through its CTest fixture (the emulated machine would take
# minutes), then boots an emulated machine (boot.sh) that runs suite-32bit.sh. Fails when anything
# inside fails; the guest's console log stays in build/guest/console.log, the tests' whole output in
# build/guest/share/LastTest.log.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/common.sh
# The emulated machine runs the tests 10-20 times slower than this one; their time limits, generous
# already, are made five times as long. The whole run is stopped after 25 minutes.
time_scale=5
limit_seconds=1500
echo "the 32-bit build runs in an emulated machine (QEMU without hardware acceleration, on Debian's kernel)"
kelvaron_prepare_windows --arch i686 -DKELVARON_WERROR=ON -DKELVARON_TEST_TIME_SCALE=$time_scale
# Bob's side of the cross-architecture game: the 64-bit development host, and a prefix for it.
kelvaron_prepare_windows --arch x86_64 -DKELVARON_WERROR=ON devhost card_picture
peer_prefix() { # setup|cleanup: the 32-bit build's fixture of Bob's prefix, run here
  local name=peer_wine_prefix
  [ "$1" = setup ] || name+=_cleanup
  ctest --test-dir build/windows -R "^$name\$" --output-on-failure >/dev/null
}
trap 'peer_prefix cleanup' EXIT
peer_prefix setup

started=$SECONDS
status=0
bash scripts/guest/boot.sh "$limit_seconds" "bash scripts/guest/suite-32bit.sh $time_scale" || status=$?
echo "the emulated machine ran for $((SECONDS - started)) s"
exit "$status"
