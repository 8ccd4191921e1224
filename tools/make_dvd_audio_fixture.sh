#!/bin/sh
# Regenerates the DVD-Audio fixture tests/fixtures/dvd-audio/ATS_01_1.AOB (needs ffmpeg and
# the dev build): one second of a stereo 48 kHz 16-bit tone in ffmpeg's MLP encoder, as
# substream 0xA1, and a quarter of a second of another tone as 16-bit LPCM, substream 0xA0,
# their packs alternating.
#
#     tools/make_dvd_audio_fixture.sh [OUT_DIR]     (default: tests/fixtures/dvd-audio)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/tests/fixtures/dvd-audio"}
build=${BUILD_DIR:-"$root/build/dev"}
cmake --build "$build" --target tessary-make-aob >/dev/null
maker="$build/tests/tessary-make-aob"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
tone() { # left right seconds
    echo "aevalsrc=0.5*sin(2*PI*$1*t)+0.05*(2*random(0)-1)|0.5*sin(2*PI*$2*t):c=stereo:s=48000:d=$3"
}

ff -f lavfi -i "$(tone 440 660 1)" -c:a mlp -strict -2 -sample_fmt s16 -f mlp "$work/tone.mlp"
ff -f lavfi -i "$(tone 330 550 0.25)" -c:a pcm_s16be -f s16be "$work/tone.pcm"
"$maker" "$out/ATS_01_1.AOB" "$work/tone.mlp" "$work/tone.pcm"
ls -l "$out"
