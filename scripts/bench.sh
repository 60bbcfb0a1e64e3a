#!/usr/bin/env bash
# Runs every benchmark inside a private desktop session and prints its figures.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${BUILD_DIR:-build}")
export TAPESCRIBE_BUILD_DIR="$build_dir" TAPESCRIBE_SOURCE_DIR="$PWD"
for bench in "$build_dir"/bin/bench_*; do
    # The soak runs for half an hour; scripts/soak.sh starts it on its own. The bare launch programs are
    # what bench_launch launches and measures: started alone, they wait for a Ctrl+Q that never comes.
    case "$(basename "$bench")" in
    bench_player_soak | bench_launch_bare_*) continue ;;
    esac
    echo "== $(basename "$bench")"
    scripts/desktop-session.sh "$bench"
done
