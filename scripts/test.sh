#!/usr/bin/env bash
# Runs the whole test suite inside a private desktop session (Xvfb, D-Bus, unlocked keyring), then the
# tests without windows again in two more time zones, half an hour off the whole hours on either side of
# UTC, the second with daylight saving: no test passes only because the machine keeps UTC. (Tests that
# cross a change of the clocks set their zone themselves.) Arguments go to every ctest run (e.g. -R clock).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${BUILD_DIR:-build}")

status=0
scripts/desktop-session.sh ctest --test-dir "$build_dir" --output-on-failure "$@" || status=$?
for zone in Asia/Kolkata America/St_Johns; do
    echo "== the tests without windows in TZ=$zone"
    TZ=$zone scripts/desktop-session.sh ctest --test-dir "$build_dir" --output-on-failure -LE gui "$@" \
        || status=$?
done
exit "$status"
