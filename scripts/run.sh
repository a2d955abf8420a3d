#!/usr/bin/env bash
# Builds the project and plays a self-played game of the engine, printed move by move.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j"$(nproc)"
./build/native/demo/self_play "$@"
