#!/usr/bin/env bash
# Builds the number-type fuzzer with clang and runs it for a bounded time
# (seconds, default 60) from the seed corpus in fuzz/corpus. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DZORVELAN_FUZZ=ON -DZORVELAN_BENCH=OFF
cmake --build build/fuzz --target decimal_fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/fuzz/fuzz/decimal_fuzz -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ "$work" fuzz/corpus
