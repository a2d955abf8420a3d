#!/usr/bin/env bash
# Builds the decoder's libFuzzer target with clang and runs it through CTest (test fuzz_decoder) for the
# given number of seconds (default 30); inputs that fail are kept in build/fuzz/crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j"$(nproc)" >/dev/null
KELVARON_FUZZ_SECONDS=${1:-30} ctest --preset fuzz --verbose
