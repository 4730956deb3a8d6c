#!/usr/bin/env bash
# Installs what is missing, builds the test suite with the address and
# undefined-behaviour sanitizers and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVAULTRA_SANITIZE=ON -DVAULTRA_FUZZ_SMOKE=ON >/dev/null
cmake --build build-asan -j2
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
cd build-asan
ctest --output-on-failure -j2 --timeout 600
