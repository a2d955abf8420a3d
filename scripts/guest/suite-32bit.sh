#!/usr/bin/env bash
# Runs inside the emulated machine (see run-32bit-suite.sh): the 32-bit build's Windows tests under
# 32-bit Wine in Xvfb, in a fresh prefix, then a game of the 32-bit against the 64-bit copy of the
# plug-in, Bob on 64-bit Wine in a prefix the host made. Usage: suite-32bit.sh TIME_SCALE BOB_PREFIX
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/common.sh
export KELVARON_WINDOWS_ARCH=i686 KELVARON_TIME_SCALE=$1
bob_prefix=$2
# Fewer texts and games than on a machine of its own: the emulated one is several times slower.
export KELVARON_HOSTILE_TEXTS=300 KELVARON_SOAK_GAMES=5
tests=(core_tests plugin_tests window_tests window_tests_cp1252 devhost_autoplay hostile soak)
build=build/windows
export KELVARON_WINEPREFIX=/tmp/wine-kelvaron
finish() {
  kelvaron_stop_wine "$KELVARON_WINEPREFIX"
  KELVARON_WINDOWS_ARCH=x86_64 kelvaron_stop_wine "$bob_prefix"
  # The tests' whole output, back to the host through the writable share that boot.sh mounts.
  cp "$build/Testing/Temporary/LastTest.log" build/guest/share/ 2>/dev/null || true
}
trap finish EXIT
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")

started=$SECONDS
./scripts/wine-prefix.sh "$KELVARON_WINEPREFIX"
echo "guest: a fresh 32-bit Wine prefix in $((SECONDS - started)) s"

pattern="^($(IFS='|'; echo "${tests[*]}"))\$"
listed=$(ctest --test-dir "$build" -N -R "$pattern" | sed -n 's/^Total Tests: //p')
if [ "$listed" != ${#tests[@]} ]; then
  echo "guest: $build has $listed of the ${#tests[@]} tests ${tests[*]}" >&2
  exit 1
fi
others=$(ctest --test-dir "$build" -N -E "$pattern" | sed -n 's/^ *Test *#[0-9]*: //p' | tr '\n' ' ')
echo "guest: not run here, to keep the emulated run short (the x86_64 build ran them, the host checked" \
  "the 32-bit archive): ${others:-none}"
# The game below runs even when a test failed: both results are worth the wait. Tests without a time
# limit of their own (a few seconds each on a real machine) get one, so that a hang fails quickly.
status=0
"${xvfb[@]}" ctest --test-dir "$build" --output-on-failure --timeout $((60 * KELVARON_TIME_SCALE)) \
  -R "$pattern" || status=1

echo "guest: the 32-bit copy (Alice) against the 64-bit copy (Bob)"
started=$SECONDS
KELVARON_BOB_FOLDER=build/windows-x64/miranda KELVARON_BOB_PREFIX=$bob_prefix \
  "${xvfb[@]}" bash tests/hosts/two_hosts_test.sh "$build/miranda" 3 || status=1
echo "guest: the cross-architecture game in $((SECONDS - started)) s"
exit "$status"
