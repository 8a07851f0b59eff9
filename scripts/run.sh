#!/usr/bin/env bash
# Builds Zorvelan (Release) and launches it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORVELAN_BENCH=OFF
cmake --build build/release --target zorvelan
exec build/release/zorvelan
