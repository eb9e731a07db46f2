#!/usr/bin/env bash
# Installs what is needed, configures, builds and runs the whole test suite.
#   scripts/test.sh             normal build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/,
#                               made with clang, with the fuzz harnesses (scripts/fuzz.sh runs them)
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
# Explicit, since scripts/demo.sh may have configured the same folder without them.
options=(-DTQ_BUILD_TESTS=ON)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  options+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTQ_SANITIZE=ON -DTQ_FUZZ=ON
            -DTQ_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
else
  options+=(-DTQ_BUILD_BENCH=ON)
fi

bash scripts/setup.sh
cmake -S . -B "$build" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 600
