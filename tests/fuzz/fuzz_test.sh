#!/usr/bin/env bash
# Runs the decoder's libFuzzer target for $KELVARON_FUZZ_SECONDS seconds (default 30) from the seeds,
# with the dictionary of the state message's pieces (the target puts the marker in front of every
# input). A failure prints the end of the fuzzer's log and keeps the inputs that failed in CRASH_FOLDER.
# Usage: fuzz_test.sh DECODE_FUZZER CRASH_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$here/seeds" "$work/corpus"
if ! "$1" -max_total_time="${KELVARON_FUZZ_SECONDS:-30}" -max_len=400 -print_final_stats=1 -artifact_prefix="$work/" \
  -dict="$here/decode.dict" "$work/corpus" >"$work/log" 2>&1; then
  tail -n 60 "$work/log"
  mkdir -p "$2" && cp "$work"/crash-* "$2"/ 2>/dev/null || true
  echo "fuzz: the decoder failed; inputs kept in $2" >&2
  exit 1
fi
echo "fuzz: ${KELVARON_FUZZ_SECONDS:-30} s"
grep -E '^(Done|stat::number_of_executed_units)' "$work/log"
