#!/usr/bin/env bash
# Set-up and the main job in one: install what is missing, build, and print the Read report
# of the demo disc (FEATURE_1.EVO, continuing onto FEATURE_2.EVO).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh >/dev/null
build/dev/app/cli/tessary-cli read "$@" samples/HVDVD_TS/FEATURE_1.EVO
