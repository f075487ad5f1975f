#!/usr/bin/env bash
# Installs what is missing, builds Fretlyn with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test. Exits non-zero when anything fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFRETLYN_SANITIZE=ON
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# CTEST_PARALLEL_LEVEL, when set, limits how many tests run at once (cmake --build heeds
# CMAKE_BUILD_PARALLEL_LEVEL by itself).
ctest --test-dir "$build" --output-on-failure -j "${CTEST_PARALLEL_LEVEL:-$(nproc)}"
