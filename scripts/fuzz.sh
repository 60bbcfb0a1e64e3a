#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in $FUZZ_BUILD_DIR (default build-fuzz/) and runs each for SECONDS
# (default 600), starting from its seed corpus in fuzz/corpus/<target>/; the seeds include every input that
# once found a fault. New inputs go to a scratch folder, so the tree stays as it is; a finding is written
# to $FUZZ_BUILD_DIR/findings/<target>/ and fails the run. Prints each target's executions per second.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
build_dir=$(realpath -m "${FUZZ_BUILD_DIR:-build-fuzz}")

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S . -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DTAPESCRIBE_FUZZ=ON -DTAPESCRIBE_BUILD_TESTS=OFF
fi
cmake --build "$build_dir" -j "$(nproc)" --target fuzzers

targets=("$@")
[ ${#targets[@]} -gt 0 ] || mapfile -t targets < <(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
export ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1"
status=0
for target in "${targets[@]}"; do
    scratch=$(mktemp -d)
    findings="$build_dir/findings/$target"
    mkdir -p "$findings"
    log="$build_dir/findings/$target.log"
    # The clip readers take files up to a megabyte, and must answer each within a second in bounded
    # memory: a slower or larger run is a finding (their own deadline is longer, for a loaded machine).
    case "$target" in
    fuzz_clip_metadata | fuzz_backward_reach) limits=(-timeout=1 -rss_limit_mb=768 -max_len=1048576) ;;
    *) limits=(-timeout=10 -rss_limit_mb=2048) ;;
    esac
    if "$build_dir/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 "${limits[@]}" \
        -artifact_prefix="$findings/" "$scratch" "fuzz/corpus/$target" >"$log" 2>&1; then
        result=ok
    else
        result=FAILED
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: $result, ${runs:-0} runs in ${seconds} s ($(( ${runs:-0} / seconds )) per second)"
    [ "$result" = ok ] || tail -40 "$log"
    rm -rf "$scratch"
done
exit "$status"
