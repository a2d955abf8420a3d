#!/usr/bin/env bash
# Prints the speed figures (not part of the tests): the machine and Wine version; under Wine, the
# table's repaint at 640 by 520, loading the DLL with Load, and the time from a move in one player's
# window to the other player's window showing it, through scripts/two_hosts.py's relay; natively, the
# codec and the engine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/common.sh
./scripts/setup.sh >/dev/null
kelvaron_pick_windows_arch
echo "machine: $(uname -m), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "wine: $(/usr/lib/wine/wine64 --version), running the $KELVARON_WINDOWS_ARCH build"

kelvaron_prepare_windows --wine --quiet devhost window_bench
build=$kelvaron_build
games=${KELVARON_BENCH_GAMES:-12}

echo "== under Wine"
(cd "$build/miranda" && kelvaron_xvfb bash -c '
  "$1/scripts/wine-run.sh" ./window_bench.exe 2>/dev/null
  python3 "$1/scripts/two_hosts.py" --games "$2" --seed 11 --timing | tail -n 1' bench "$root" "$games")
echo "== natively (optimised build)"
cmake --preset bench >/dev/null
cmake --build build/bench -j"$(nproc)" --target core_bench >/dev/null
./build/bench/bench/core_bench --benchmark_min_time=1 2>/dev/null | grep -E '^(BM_|Benchmark|-)'
