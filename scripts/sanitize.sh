#!/usr/bin/env bash
# The checking build: the whole tree and its tests built a second time with AddressSanitizer and
# UndefinedBehaviorSanitizer (in $SANITIZE_BUILD_DIR, default build-asan/), and the whole suite run there,
# window tests included, in the private desktop session. A memory fault, a leak or undefined behaviour fails
# the test that meets it. Arguments go to ctest (e.g. -R clock).
#
# Besides the leak suppressions, scripts/sanitizers/ holds two files that only this build links into
# tapeScribe and the window tests, each saying why: Mesa's OpenGL driver stays loaded to the end, and
# Chromium's own sized deletes go without the size check. The tests run one at a time, as in
# scripts/test.sh: window tests side by side on one display take each other's focus.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath -m "${SANITIZE_BUILD_DIR:-build-asan}")

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    # -O1 keeps the stacks readable and the tests fast enough; the benchmarks measure nothing here.
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
        -DTAPESCRIBE_SANITIZE=ON -DTAPESCRIBE_BUILD_BENCHMARKS=OFF -DTAPESCRIBE_MAKER_HOST=localhost:8480
fi
cmake --build "$build_dir" -j "$(nproc)"

suppressions="$PWD/scripts/sanitizers"
# Children started by the tests (the tools, the log service) are built the same way and read the same options.
# intercept_tls_get_addr=0: GCC 12's runtime takes some of glibc's thread-local blocks for ones with the
# header glibc dropped in 2.25, reads a made-up range from before them, and LeakSanitizer's scan at exit
# dies on it now and then ("Tracer caught signal 11", one run of the player tests in five). Those blocks
# come from malloc and hang off each thread's own, which the scan reads: it loses nothing without them.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$suppressions/leaks.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1"
# Once, in the machine's zone: the other zones' runs (scripts/test.sh) look for wrong times, not for memory
# faults.
exec scripts/desktop-session.sh ctest --test-dir "$build_dir" --output-on-failure "$@"
