#!/usr/bin/env bash
# Builds Zorvelan and runs every test on Qt's offscreen platform: once as
# shipped (warnings are errors), the Qt Test programs also on an X server
# (Xvfb), once under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Qt-free tests under ThreadSanitizer; checks
# the installed files and the Debian package, fuzzes the number type and
# the fast fraction for a bounded time, and checks the formatting.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh clang clang-format libclang-rt-14-dev xvfb xauth
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

stage() { echo; echo "=== $1 ($(date +%T))"; }

stage "Build and test"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/test
ctest --test-dir build/test --output-on-failure -j"$jobs"

stage "Install and package"
scripts/check-install.sh build/test

stage "Build and test under ASan and UBSan"
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVELAN_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize"
cmake --build build/sanitize
# The long comparison of jumping and scanning, and the runs on Xvfb, are the
# plain build's only. A leak fails the stage, but for the few of Qt's own
# that scripts/lsan.supp lists.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j"$jobs" -LE "long|xcb"

# The system's Qt is not built with ThreadSanitizer: only the Qt-free
# libraries, running the tests of the kernel and its thread pool.
stage "Build and test the trial-division kernel under TSan"
tsan="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVELAN_QT_FREE_ONLY=ON \
  -DCMAKE_CXX_FLAGS="$tsan" -DCMAKE_EXE_LINKER_FLAGS="$tsan"
cmake --build build/tsan
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build/tsan --output-on-failure -L kernel -j"$jobs"

stage "Fuzz the number type"
scripts/fuzz.sh "${ZORVELAN_FUZZ_SECONDS:-60}"
stage "Check the formatting"
git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' |
  xargs -0 clang-format --dry-run --Werror
stage "All passed"
