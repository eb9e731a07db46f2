#!/usr/bin/env bash
# Installs what is needed, builds the demo and runs it. Arguments go to the demo
# (--scene NAME, --frames N, --screenshot FILE). Without a display it runs headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --demo
# Tests and benchmarks need packages the demo does not; scripts/test.sh turns them back on.
cmake -S . -B build -G Ninja -DTQ_BUILD_TESTS=OFF -DTQ_BUILD_BENCH=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target tq2d-demo
exec build/bin/tq2d-demo "$@"
