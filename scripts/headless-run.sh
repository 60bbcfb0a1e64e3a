#!/usr/bin/env bash
# Inside a private desktop session (scripts/desktop-session.sh): starts tapeScribe, waits until the log
# service has served the page the log form leads to, loads the first clip, lets it draw, and writes a
# screenshot of the display.
set -euo pipefail
run_dir=$TAPESCRIBE_RUN_DIR
shot="$run_dir/tapescribe.png"
service_log="$run_dir/logservice.log"
served_before=$(grep -c '^request GET /users/login' "$service_log" || true)

"$TAPESCRIBE_APP" "$@" >"$run_dir/tapescribe.log" 2>&1 &
app_pid=$!
trap 'kill "$app_pid" 2>/dev/null || true' EXIT

for _ in $(seq 600); do
    served=$(grep -c '^request GET /users/login' "$service_log" || true)
    [ "$served" -gt "$served_before" ] && break
    kill -0 "$app_pid" 2>/dev/null || { cat "$run_dir/tapescribe.log" >&2; exit 1; }
    sleep 0.1
done
[ "$served" -gt "$served_before" ] || { echo "The log form did not load within a minute" >&2; exit 1; }
# Load the first clip the way a logger would: after a scan of several clips the clip table has the
# focus, and Down selects the first one.
window=$(xdotool search --sync --onlyvisible --name '^tapeScribe$' | head -1)
xdotool windowfocus --sync "$window"
xdotool key Down
sleep 8 # the page's first paint, the clip's first frame and a few ticks of its clock

size=$(xdpyinfo -display "$DISPLAY" 2>/dev/null | sed -n 's/ *dimensions: *\([0-9x]*\) .*/\1/p')
ffmpeg -loglevel error -y -f x11grab -video_size "${size:-1280x800}" -i "$DISPLAY" -frames:v 1 "$shot"
echo "Screenshot of tapeScribe: $shot"
echo "Its console: $run_dir/tapescribe.log"
