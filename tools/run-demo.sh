#!/usr/bin/env bash
# Set-up and the main job in one: install what is missing, build, and demux the demo disc
# (FEATURE_1.EVO, continuing onto FEATURE_2.EVO) into build/demo, printing the whole report
# (the Read, then the Demux) and the files written.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh >/dev/null
out=build/demo
build/dev/app/cli/tessary-cli demux -o "$out" "$@" samples/HVDVD_TS/FEATURE_1.EVO
echo
ls -l "$out"
