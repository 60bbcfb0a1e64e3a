#!/usr/bin/env bash
# Runs a command inside a private desktop session of its own: a fresh HOME, an X display (Xvfb), a D-Bus
# session bus and an unlocked GNOME keyring. Tests and the headless run use it, so nothing they do
# touches the user's own settings, keyring or display.
#
#   scripts/desktop-session.sh [--home DIR] COMMAND [ARG...]
#
# With --home the session keeps its HOME (and so its keyring and settings) in DIR between runs;
# otherwise a temporary one is made and removed afterwards. The tests that use the keyring, the settings or
# the home folder refuse to run anywhere else than in such a temporary one: they look for the
# TAPESCRIBE_DESKTOP_SESSION set below and for a HOME that is a private folder among the temporary ones.
set -euo pipefail

if [ -z "${TAPESCRIBE_DESKTOP_SESSION:-}" ]; then
    session_home=""
    if [ "${1:-}" = "--home" ]; then
        session_home=$(realpath -m "$2")
        shift 2
        mkdir -p "$session_home"
    else
        session_home=$(mktemp -d -t tapescribe-session.XXXXXX)
        trap 'rm -rf "$session_home"' EXIT
    fi
    runtime_dir="$session_home/.run"
    mkdir -p "$runtime_dir"
    chmod 0700 "$runtime_dir"
    export TAPESCRIBE_DESKTOP_SESSION=1 HOME="$session_home" XDG_RUNTIME_DIR="$runtime_dir"
    unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME DBUS_SESSION_BUS_ADDRESS
    unset GNOME_KEYRING_CONTROL SSH_AUTH_SOCK WAYLAND_DISPLAY
    # Qt WebEngine refuses its sandbox as root.
    [ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
    status=0
    # -noreset: the X server must not reset whenever its last client goes, or a program started right
    # after another has quit cannot connect.
    xvfb-run -a -s '-screen 0 1280x800x24 -noreset' dbus-run-session -- "$0" "$@" || status=$?
    exit "$status"
fi

# Inside the session bus. The keyring daemon must start without a display: with one, it would open an
# unlock prompt and every lookup would wait on it.
keyring_env=$(printf '%s' "tapescribe-session" | env -u DISPLAY gnome-keyring-daemon --unlock --components=secrets)
# shellcheck disable=SC2163
while IFS= read -r assignment; do [ -n "$assignment" ] && export "$assignment"; done <<<"$keyring_env"
"$@"
