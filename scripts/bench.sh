#!/usr/bin/env bash
# Prints the speed figures of the portable core (optimised native build). Not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh >/dev/null
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j"$(nproc)" --target core_bench >/dev/null
echo "machine: $(uname -m), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
./build/bench/bench/core_bench --benchmark_min_time=1
