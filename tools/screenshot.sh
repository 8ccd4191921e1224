#!/usr/bin/env bash
# Starts the desktop program on a virtual display with the demo disc and saves a screenshot.
# Needs xvfb and imagemagick (apt-get install xvfb imagemagick) and a build with the window:
#   cmake --preset dev -DTESSARY_BUILD_GUI=ON && cmake --build --preset dev
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}
program=${TESSARY:-build/dev/app/gui/tessary}
display=:$((90 + RANDOM % 9))

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$app" "$xvfb" 2>/dev/null || true' EXIT
sleep 1
# A private settings folder, so the screenshot shows the defaults.
export XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)
DISPLAY=$display "$program" samples/HVDVD_TS/FEATURE_1.EVO &
app=$!
sleep "${WAIT:-4}"
mkdir -p "$(dirname "$out")"
DISPLAY=$display import -window root -crop 1000x700+140+50 "$out"
echo "saved $out"
