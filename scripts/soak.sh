#!/usr/bin/env bash
# Plays, shuttles and switches clips in tapeScribe's window for MINUTES (default 30) inside a private
# desktop session, printing resident memory, threads and open file descriptors every minute. Exits 1 when
# anything failed on the way (a clip that did not open, a shuttle that did not move, a crash).
#
#   scripts/soak.sh [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${BUILD_DIR:-build}")
export TAPESCRIBE_BUILD_DIR="$build_dir" TAPESCRIBE_SOURCE_DIR="$PWD"
exec scripts/desktop-session.sh "$build_dir/bin/bench_player_soak" "${1:-30}"
