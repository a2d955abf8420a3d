#!/usr/bin/env bash
# Builds the decoder's libFuzzer target with clang and runs it for the given number of seconds (default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=build/fuzz
cmake --preset fuzz >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cp tests/fuzz/seeds/* "$work/corpus"/
if ! "$build/tests/fuzz/decode_fuzzer" -max_total_time="$seconds" -max_len=400 -print_final_stats=1 \
  -artifact_prefix="$work/" -dict=tests/fuzz/decode.dict "$work/corpus" >"$work/log" 2>&1; then
  tail -n 60 "$work/log"
  mkdir -p build/fuzz-crashes && cp "$work"/crash-* build/fuzz-crashes/ 2>/dev/null || true
  echo "fuzz: the decoder failed; inputs kept in build/fuzz-crashes" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units)' "$work/log"
