#!/usr/bin/env bash
# Prints the speed figures (not part of the tests): the machine and Wine version; under Wine, the time
# from a click in one player's window to the other player's repainted window through an IRC server on
# this machine, the
# table's repaint at 640 by 520, and loading the DLL with Load; natively, the codec and the engine.
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
work=$(mktemp -d)
trap 'kelvaron_stop_irc_server; rm -rf "$work"' EXIT
kelvaron_start_irc_server "$work/irc"
export work wine_run=$root/scripts/wine-run.sh games=${KELVARON_BENCH_GAMES:-12}

echo "== under Wine"
cd "$build/miranda"
kelvaron_xvfb bash -c '
  "$wine_run" ./window_bench.exe 2>/dev/null
  irc=127.0.0.1:$KELVARON_IRC_PORT
  "$wine_run" ./devhost.exe --user Alice --peer Bob --irc "$irc" --autoplay 11 --autoplay-starts \
    --games "$games" --delay 0 --quiet --timing >"$work/alice" 2>&1 &
  "$wine_run" ./devhost.exe --user Bob --peer Alice --irc "$irc" --autoplay 12 --games "$games" \
    --delay 0 --quiet --timing >"$work/bob" 2>&1
  wait'
python3 - "$work/alice" "$work/bob" <<'PY'
import sys
from collections import defaultdict, deque
def timings(path, kind):
    out = defaultdict(deque)
    for line in open(path, encoding="utf-8", errors="replace"):
        parts = line.rstrip("\n").split(" ", 3)
        if len(parts) == 4 and parts[0] == "timing" and parts[1] == kind:
            out[parts[3]].append(int(parts[2]))
    return out
delays = []
for sender, receiver in ((sys.argv[1], sys.argv[2]), (sys.argv[2], sys.argv[1])):
    clicks, adopted = timings(sender, "click"), timings(receiver, "adopted")
    for text, times in clicks.items():
        for start in times:
            if adopted[text]:
                delays.append(adopted[text].popleft() - start)
delays.sort()
if not delays:
    sys.exit("bench: no timed moves")
median = delays[len(delays) // 2]
p99 = delays[min(len(delays) - 1, len(delays) * 99 // 100)]
print(f"{'click to the peer repainted (local IRC server)':48} median {median:8.1f} us   p99 {p99:8.1f} us   ({len(delays)} moves)")
PY
cd "$root"
echo "== natively (optimised build)"
cmake --preset bench >/dev/null
cmake --build build/bench -j"$(nproc)" --target core_bench >/dev/null
./build/bench/bench/core_bench --benchmark_min_time=1 2>/dev/null | grep -E '^(BM_|Benchmark|-)'
