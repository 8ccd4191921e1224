#!/usr/bin/env bash
# Starts the desktop program on a virtual display with the demo disc and saves two
# screenshots: the window as it opens (the streams table above the log) and the XPL tab after
# Read XPL. Needs xvfb, xdotool and imagemagick (apt-get install xvfb xdotool imagemagick) and
# a build with the window:
#   cmake --preset dev -DTESSARY_BUILD_GUI=ON && cmake --build --preset dev
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}
out_xpl=${2:-docs/screenshot-xpl.png}
program=${TESSARY:-build/dev/app/gui/tessary}
display=:$((90 + RANDOM % 9))

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$app" "$xvfb" 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=$display
# A private settings folder, so the screenshots show the defaults.
export XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)
"$program" samples/HVDVD_TS/FEATURE_1.EVO 2>/dev/null &
app=$!
sleep "${WAIT:-4}"
mkdir -p "$(dirname "$out")" "$(dirname "$out_xpl")"
# The window opens at 1000x700, centred on the 1280x800 display.
import -window root -crop 1000x700+140+50 "$out"
echo "saved $out"
# Run > Read XPL by its mnemonics; the XPL tab shows itself.
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name Tessary | head -1)"
xdotool key alt+r x
sleep 2
import -window root -crop 1000x700+140+50 "$out_xpl"
echo "saved $out_xpl"
