#!/usr/bin/env bash
# Checks on a virtual display that the window opens at its first size, centred, and that
# after it is moved and resized, quit with Ctrl+Q and started again (twice) it comes back at
# the same place and size. Needs xvfb and xdotool and a build with the window.
set -euo pipefail
cd "$(dirname "$0")/.."
program=${TESSARY:-build/dev/app/gui/tessary}
display=:$((80 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'pkill -f "^$program" 2>/dev/null; kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=$display XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)

window() { xdotool search --sync --onlyvisible --name Tessary | head -1; }
placement() { xdotool getwindowgeometry "$(window)" | awk '/Position/ { p = $2 } /Geometry/ { g = $2 } END { print p, g }'; }
start() {
  "$program" 2>/dev/null &
  sleep "${WAIT:-3}"
}
quit() {
  xdotool windowfocus --sync "$(window)"
  xdotool key ctrl+q
  sleep 1
  ! pgrep -f "^$program" >/dev/null || { echo "Ctrl+Q did not quit" >&2; exit 1; }
}

start
first=$(placement)
echo "opens at   $first"
[[ $first == "140,50 1000x700" ]] || { echo "not the first size, centred" >&2; exit 1; }
xdotool windowmove "$(window)" 60 0
xdotool windowsize "$(window)" 1100 650
sleep 1
left=$(placement)
echo "left at    $left"
quit
for run in 1 2; do
  start
  back=$(placement)
  echo "restart $run  $back"
  [[ $back == "$left" ]] || { echo "not where it was left" >&2; exit 1; }
  quit
done
echo "ok"
