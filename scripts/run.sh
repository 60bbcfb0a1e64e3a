#!/usr/bin/env bash
# Starts the local log service with the demo account and opens tapeScribe on it.
#
# The application is not changed for this: Chromium's host-resolver rules send the log service's host to
# the local service, and only that service's own certificate is trusted (its public key is pinned).
# Without a display, tapeScribe runs in a private Xvfb session; once the log form has loaded, a screenshot
# of the screen is written and its path printed.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${BUILD_DIR:-build}")
run_dir="$build_dir/run"
service="$build_dir/bin/tapescribe-logservice"
app="$build_dir/bin/tapescribe"
log_host=$(sed -n 's/^TAPESCRIBE_LOG_SERVICE_HOST:STRING=//p' "$build_dir/CMakeCache.txt")
https_port=8443
http_port=8480 # the developer build's maker host is localhost:8480 (scripts/build.sh)
demo_user=demo
demo_password=tapescribe-demo

mkdir -p "$run_dir"
printf '%s' "$demo_password" | "$service" add-account --data "$run_dir/logservice" "$demo_user" >/dev/null
spki=$("$service" spki --data "$run_dir/logservice")

"$service" serve --data "$run_dir/logservice" --https-port "$https_port" --http-port "$http_port" \
    --host "$log_host" >"$run_dir/logservice.log" 2>&1 &
service_pid=$!
trap 'kill "$service_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    grep -q "listening on http://" "$run_dir/logservice.log" && break
    kill -0 "$service_pid" 2>/dev/null || { cat "$run_dir/logservice.log" >&2; exit 1; }
    sleep 0.1
done
echo "Log service on https://127.0.0.1:$https_port (as https://$log_host), account \"$demo_user\" / \"$demo_password\""

export QTWEBENGINE_CHROMIUM_FLAGS="\"--host-resolver-rules=MAP $log_host 127.0.0.1:$https_port\" --ignore-certificate-errors-spki-list=$spki"
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1

clips_dir="$run_dir/sample clips"
if [ -x scripts/make-sample-clips.sh ]; then
    scripts/make-sample-clips.sh "$clips_dir"
fi
app_args=()
[ -d "$clips_dir" ] && app_args+=("$clips_dir")

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    "$app" "${app_args[@]}"
    exit
fi

# No display: run in a private session that keeps its HOME (keyring, settings) under the run folder.
export TAPESCRIBE_RUN_DIR="$run_dir" TAPESCRIBE_APP="$app" TAPESCRIBE_SECURITY="$build_dir/libexec/tapescribe-security"
export TAPESCRIBE_DEMO_USER="$demo_user" TAPESCRIBE_DEMO_PASSWORD="$demo_password"
scripts/desktop-session.sh --home "$run_dir/home" scripts/headless-run.sh "${app_args[@]}"
