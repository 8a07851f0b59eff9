#!/usr/bin/env bash
# Builds the number-type, fast-fraction and jump fuzzers with clang and runs each
# for a bounded time (seconds, default 60), the number type's from the seed
# corpus in fuzz/corpus. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DZORVELAN_FUZZ=ON -DZORVELAN_BENCH=OFF
cmake --build build/fuzz --target decimal_fuzz fraction_fuzz jump_fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/fuzz/fuzz/decimal_fuzz -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ "$work" fuzz/corpus
# The fast fraction of the trial division, from an empty corpus.
mkdir "$work/fraction"
build/fuzz/fuzz/fraction_fuzz -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ "$work/fraction"
# The kernel that jumps against the one that scans, from an empty corpus.
mkdir "$work/jump"
build/fuzz/fuzz/jump_fuzz -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ "$work/jump"
