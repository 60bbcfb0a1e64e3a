#!/usr/bin/env bash
# Prints, for each test program that runs without a display, how many libraries its link line names (and
# whether the web engine, mpv or FFmpeg are among them), how long linking it takes, its size, and how
# many shared libraries it loads. A logic test links its own area's library only: these figures show what
# it costs to build and to start. Relinks each program from the objects already built: run after a build.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${BUILD_DIR:-build}")
programs=(test_core_logic test_clips_logic test_logform_logic test_account_logic test_move_rules test_notes)
printf '%-20s %7s %-22s %9s %12s %8s\n' program linked "heavy ones" "link ms" "bytes" "shared"
for program in "${programs[@]}"; do
    binary="$build_dir/bin/$program"
    [ -x "$binary" ] || { printf '%-20s not built\n' "$program"; continue; }
    best=
    for _ in 1 2 3; do
        rm -f "$binary"
        start=$(date +%s%N)
        cmake --build "$build_dir" --target "$program" >/dev/null
        elapsed=$((($(date +%s%N) - start) / 1000000))
        if [ -z "$best" ] || [ "$elapsed" -lt "$best" ]; then best=$elapsed; fi
    done
    libraries=$(readelf -d "$binary" | grep -c NEEDED)
    line=$(grep -A8 "^build bin/$program:" "$build_dir/build.ninja" | grep -m1 LINK_LIBRARIES || true)
    linked=$(tr ' ' '\n' <<<"$line" | grep -cE '\.(so|a)(\.[0-9.]+)?$|^-l' || true)
    heavy=$({ grep -oE 'WebEngine[A-Za-z]*|libmpv|libavformat' <<<"$line" || true; } | sort -u | tr '\n' ' ')
    printf '%-20s %7d %-22s %9d %12d %8d\n' "$program" "$linked" "${heavy:--}" "$best" "$(stat -c %s "$binary")" \
        "$libraries"
done
