#!/usr/bin/env bash
# Installs every Debian package that building, running and testing tapeScribe needs.
# Idempotent: when everything is present it only asks dpkg and returns at once.
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config git ccache
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools
    qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin
    libqt6sql6-sqlite libqt6opengl6-dev qt6-declarative-dev libgl-dev
    libmpv-dev libavformat-dev libavcodec-dev libavutil-dev libsecret-1-dev libglib2.0-dev libssl-dev
    libfontconfig-dev
    libgtest-dev libgmock-dev
    # the launch benchmark watches the display for the windows it waits for
    libxcb1-dev
    # the fuzz targets (scripts/fuzz.sh): clang with libFuzzer and its sanitizer runtimes
    clang-14 libfuzzer-14-dev libclang-rt-14-dev
    # run and test
    xvfb xauth x11-utils xdotool dbus dbus-x11 gnome-keyring gcr libsecret-tools ffmpeg mpv xdg-utils
    libgl1-mesa-dri fonts-dejavu-core procps
    # the zones the tests run in besides UTC (scripts/test.sh), which a minimal system may lack
    tzdata
    # Qt's own texts (standard buttons, file dialogs) in the user's language
    qt6-translations-l10n
    # the log service's load and attack script (scripts/logservice-load.py)
    python3 openssl
    # packaging: its checks, and the icon sizes rendered from SVG
    desktop-file-utils appstream pkexec dpkg-dev file librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
