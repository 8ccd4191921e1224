#!/bin/sh
# Regenerates the LPCM fixtures in tests/fixtures/lpcm (needs ffmpeg and the dev build): for
# 16, 20 and 24 bits, 2 and 6 channels, 48 and 96 kHz, a DVD-Video style program stream
# holding one LPCM stream of 12.5 ms (NAME.vob), and ffmpeg's decoding of it (pcm_dvd) as
# little-endian samples, 16 bits or 24 (NAME.raw), which a WAV written by Demux must hold.
#
#     tools/make_lpcm_fixtures.sh [OUT_DIR]     (default: tests/fixtures/lpcm)
#
# ffmpeg's encoder makes the streams it can: 16 and 24 bits up to its 9.8 Mbit/s. The others
# (20 bits; 24 bits, 6 channels, 96 kHz) come from tessary-make-lpcm-vob, built from the test
# support's pack writer, with random samples and a few stray bytes at the end.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/tests/fixtures/lpcm"}
build=${BUILD_DIR:-"$root/build/dev"}
cmake --build "$build" --target tessary-make-lpcm-vob >/dev/null
maker="$build/tests/tessary-make-lpcm-vob"
mkdir -p "$out"

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

# A tone of its own frequency in each channel, with noise in the low bits.
tone() { # channels rate
    expr=
    k=0
    while [ "$k" -lt "$1" ]; do
        expr="$expr${expr:+|}0.6*sin(2*PI*$((220 + 110 * k))*t)+0.3*(2*random(0)-1)"
        k=$((k + 1))
    done
    layout=stereo
    [ "$1" = 6 ] && layout='5.1(side)'
    echo "aevalsrc=$expr:c=$layout:s=$2:d=0.0125"
}

seed=1
for bits in 16 20 24; do
    for channels in 2 6; do
        for rate in 48000 96000; do
            name="$out/lpcm_${bits}_${channels}ch_$((rate / 1000))k"
            if [ "$bits" = 20 ] || [ $((bits * channels * rate)) -gt 9800000 ]; then
                "$maker" "$name.vob" "$bits" "$channels" "$rate" $((rate / 80)) "$seed"
            else
                format=s16
                [ "$bits" = 24 ] && format=s32
                ff -f lavfi -i "$(tone "$channels" "$rate")" -c:a pcm_dvd -sample_fmt "$format" \
                    -f vob "$name.vob"
            fi
            raw=s24le
            [ "$bits" = 16 ] && raw=s16le
            ff -f mpeg -i "$name.vob" -map 0:a:0 -c:a "pcm_$raw" -f "$raw" "$name.raw"
            seed=$((seed + 1))
        done
    done
done
ls -l "$out"
