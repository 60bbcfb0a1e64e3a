#!/usr/bin/env bash
# Runs every benchmark inside a private desktop session and prints its figures.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${BUILD_DIR:-build}")
export TAPESCRIBE_BUILD_DIR="$build_dir" TAPESCRIBE_SOURCE_DIR="$PWD"
for bench in "$build_dir"/bin/bench_*; do
    # The soak runs for half an hour; scripts/soak.sh starts it on its own.
    [ "$(basename "$bench")" = bench_player_soak ] && continue
    echo "== $(basename "$bench")"
    scripts/desktop-session.sh "$bench"
done
