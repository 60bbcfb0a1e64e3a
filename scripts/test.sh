#!/usr/bin/env bash
# Runs the whole test suite inside a private desktop session (Xvfb, D-Bus, unlocked keyring).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${BUILD_DIR:-build}")
exec scripts/desktop-session.sh ctest --test-dir "$build_dir" --output-on-failure "$@"
