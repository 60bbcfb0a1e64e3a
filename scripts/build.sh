#!/usr/bin/env bash
# Configures (once) and builds tapeScribe, its tools, tests and benchmarks in $BUILD_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}

# The developer build points the Help menu at the local log service's plain-http pages (scripts/run.sh
# serves them there); everything else keeps the build-time defaults.
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPESCRIBE_MAKER_HOST=localhost:8480
fi
cmake --build "$build_dir" -j "$(nproc)"
