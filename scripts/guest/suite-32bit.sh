#!/usr/bin/env bash
# Runs inside the emulated machine (see run-32bit-suite.sh): the 32-bit build's tests labelled
# emulated-32bit (CTest preset emulated-32bit) under 32-bit Wine in Xvfb, the 32-bit against the 64-bit
# copy of the plug-in among them, Bob on 64-bit Wine in the prefix the host made (its fixture's setup
# left out here).
# Usage: suite-32bit.sh TIME_SCALE
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/common.sh
export KELVARON_WINDOWS_ARCH=i686 KELVARON_TIME_SCALE=$1
# Fewer texts and games than on a machine of its own: the emulated one is several times slower.
export KELVARON_HOSTILE_TEXTS=300 KELVARON_SOAK_GAMES=5
build=build/windows
# The tests' whole output, back to the host through the writable share that boot.sh mounts.
trap 'cp "$build/Testing/Temporary/LastTest.log" build/guest/share/ 2>/dev/null || true' EXIT

# The names of the tests that ctest selects with the options given; the fixtures' left out, which it
# adds to any selection that needs them.
names() { ctest --test-dir "$build" -N "$@" | sed -n 's/^ *Test *#[0-9]*: //p'; }
tests() { names "$@" | grep -vxF -f <(names -L fixture) | tr '\n' ' '; }
echo "guest: the tests: $(tests -L emulated-32bit)"
echo "guest: not run here, to keep the emulated run short (the x86_64 build ran them, the host checked" \
  "the 32-bit archive): $(tests -LE emulated-32bit)"
# Tests without a time limit of their own (a few seconds each on a real machine) get one, so that a
# hang fails quickly. Bob's prefix is ready: run-32bit-suite.sh made it before the machine booted.
kelvaron_xvfb ctest --preset emulated-32bit --no-tests=error --timeout $((60 * KELVARON_TIME_SCALE)) \
  -FS '^peer_wine_prefix$'
