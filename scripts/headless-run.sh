#!/usr/bin/env bash
# Inside a private desktop session (scripts/desktop-session.sh): keeps the demo account in the session's
# keyring, starts tapeScribe, signs in on the log form the way a logger would, plays the first clip, stores
# a note in the form, and writes a screenshot of the display.
set -euo pipefail
run_dir=$TAPESCRIBE_RUN_DIR
shot="$run_dir/tapescribe.png"
service_log="$run_dir/logservice.log"
served() { grep -c "^request GET $1" "$service_log" || true; }
wait_until_served() { # PATH COUNT-BEFORE WHAT
    for _ in $(seq 600); do
        [ "$(served "$1")" -gt "$2" ] && return
        kill -0 "$app_pid" 2>/dev/null || { cat "$run_dir/tapescribe.log" >&2; exit 1; }
        sleep 0.1
    done
    echo "$3 did not load within a minute" >&2
    exit 1
}

# As the preferences window would keep it: tapeScribe fills the sign-in page from it.
printf '%s' "$TAPESCRIBE_DEMO_PASSWORD" | "$TAPESCRIBE_SECURITY" add-generic-password \
    -a "$TAPESCRIBE_DEMO_USER" -s "Fernwright account details" -w >/dev/null
sign_ins_before=$(served /users/login)
forms_before=$(served /index.php/logger/form)

"$TAPESCRIBE_APP" "$@" >"$run_dir/tapescribe.log" 2>&1 &
app_pid=$!
trap 'kill "$app_pid" 2>/dev/null || true' EXIT

wait_until_served /users/login "$sign_ins_before" "The sign-in page"
forms_before=$(served /index.php/logger/form)
window=$(xdotool search --sync --onlyvisible --name '^tapeScribe$' | head -1)
xdotool windowfocus --sync "$window"
sleep 3 # the page's first paint, and tapeScribe filling in the account
# The logger presses Enter in the filled-in password field (the right half's second field).
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" $((WIDTH * 3 / 4)) 337 click 1 key Return
wait_until_served /index.php/logger/form "$forms_before" "The log form"
# Then picks the first clip of the table, sorted by name, and plays it.
xdotool mousemove --window "$window" 100 80 click 1
sleep 2 # the clip's first frame
xdotool key space
sleep 3
# A sample note, typed into the form's note field (under the clock) and stored with Enter while the clip
# plays; tapeScribe reads it back within a second or two and ticks it on the position bar.
xdotool mousemove --window "$window" $((WIDTH * 3 / 4)) 378 click 1
xdotool type --delay 20 "Sample note: the slate is in frame"
xdotool key Return
sleep 3
# Paused a little further on, so that the note's tick stands apart from the play head.
xdotool mousemove --window "$window" 300 400 click 1 key space
sleep 2

size=$(xdpyinfo -display "$DISPLAY" 2>/dev/null | sed -n 's/ *dimensions: *\([0-9x]*\) .*/\1/p')
ffmpeg -loglevel error -y -f x11grab -video_size "${size:-1280x800}" -i "$DISPLAY" -frames:v 1 "$shot"
echo "Screenshot of tapeScribe: $shot"
echo "Its console: $run_dir/tapescribe.log"
