#!/bin/sh
# Regenerates the audio snippets of this folder from real encoder output (needs ffmpeg).
#
#     make_audio_snippets.sh [OUT_DIR]      (default: the folder of this script)
#
# Each file holds only the first frame or two of a one-second 440 Hz tone. What ffprobe
# reports for them (ffmpeg 5.1), and what the tests compare the inspectors' lines with:
#
#   ac3_51_448k_48k.ac3     ac3    48000 Hz  6 ch (5.1)  448000 bit/s  one 1792-byte frame
#   ac3_20_192k_44k.ac3     ac3    44100 Hz  2 ch        192000 bit/s  one 834-byte frame (-f ac3)
#   eac3_51_384k_48k.eac3   eac3   48000 Hz  6 ch (5.1)  384000 bit/s  one 1536-byte frame
#   eac3_20_192k_44k.eac3   eac3   44100 Hz  2 ch        191559 bit/s  one 834-byte frame
#   dts_51_768k_48k.dts     dts    48000 Hz  6 ch (5.1)  768000 bit/s  two 1024-byte frames (-f dts)
#   dts_20_1411k_44k.dts    dts    44100 Hz  2 ch       1411200 bit/s  one 2048-byte frame (-f dts)
#   truehd_20_48k.thd       truehd 48000 Hz  2 ch        24 bits       (-f truehd)
#   truehd_51_48k.thd       truehd 48000 Hz  6 ch (5.1)  24 bits       (-f truehd)
#   mlp_20_44k.mlp          mlp    44100 Hz  2 ch        16 bits       (-f mlp)
#   lpcm_51_48k_16.vob      pcm_dvd 48000 Hz 6 ch        16 bits       first 2048-byte pack
#   lpcm_20_96k_24.vob      pcm_dvd 96000 Hz 2 ch        24 bits       first 2048-byte pack
set -e
out=${1:-$(dirname "$0")}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
tone() { echo "-f lavfi -i sine=frequency=440:sample_rate=$1:duration=1"; }
# Six copies of the tone as 5.1.
surround="-filter_complex [0]asplit=6[a][b][c][d][e][f];[a][b][c][d][e][f]join=inputs=6:channel_layout=5.1[o] -map [o]"

ff $(tone 48000) $surround -c:a ac3 -b:a 448k -frames:a 1 "$out/ac3_51_448k_48k.ac3"
ff $(tone 44100) -ac 2 -c:a ac3 -b:a 192k -frames:a 1 "$out/ac3_20_192k_44k.ac3"
ff $(tone 48000) $surround -c:a eac3 -b:a 384k -frames:a 1 "$out/eac3_51_384k_48k.eac3"
ff $(tone 44100) -ac 2 -c:a eac3 -b:a 192k -frames:a 1 "$out/eac3_20_192k_44k.eac3"
ff $(tone 48000) $surround -c:a dca -strict -2 -b:a 768k -frames:a 2 "$out/dts_51_768k_48k.dts"
ff $(tone 44100) -ac 2 -c:a dca -strict -2 -b:a 1411200 -frames:a 1 "$out/dts_20_1411k_44k.dts"
ff $(tone 48000) -ac 2 -c:a truehd -strict -2 -frames:a 2 "$out/truehd_20_48k.thd"
ff $(tone 48000) $surround -c:a truehd -strict -2 -frames:a 2 "$out/truehd_51_48k.thd"
ff $(tone 44100) -ac 2 -c:a mlp -strict -2 -frames:a 2 "$out/mlp_20_44k.mlp"

# LPCM as DVD media carry it: in a program stream, behind the LPCM substream header.
ff $(tone 48000 | sed 's/duration=1/duration=0.05/') $surround -c:a pcm_dvd -f vob "$tmp/a.vob"
head -c 2048 "$tmp/a.vob" > "$out/lpcm_51_48k_16.vob"
ff $(tone 96000 | sed 's/duration=1/duration=0.05/') -ac 2 -c:a pcm_dvd -sample_fmt s32 \
    -f vob "$tmp/b.vob"
head -c 2048 "$tmp/b.vob" > "$out/lpcm_20_96k_24.vob"
