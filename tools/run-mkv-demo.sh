#!/usr/bin/env bash
# Set-up and the disc-to-Matroska job in one: install what is missing (mkvtoolnix included),
# build, and make one MKV of the demo disc (FEATURE_1.EVO continuing onto FEATURE_2.EVO) in
# build/demo-mkv, with the playlist's track names, languages and chapters; then show what
# mkvmerge sees in it.
set -euo pipefail
cd "$(dirname "$0")/.."
TESSARY_WITH_MKV=1 tools/install-deps.sh
tools/build.sh >/dev/null
out=build/demo-mkv
build/dev/app/cli/tessary-cli mkv -o "$out" "$@" samples/HVDVD_TS/FEATURE_1.EVO
echo
ls -l "$out"
echo
mkvmerge --identify "$out/FEATURE_1_FEATURE_2.mkv"
