#!/bin/sh
# Regenerates the demo disc in samples/:
#
#   samples/HVDVD_TS/FEATURE_1.EVO   first part of a split feature (VOB 1, 144 frames)
#   samples/HVDVD_TS/FEATURE_2.EVO   second part, continuing the time stamps (VOB 2, 132 frames)
#   samples/ADV_OBJ/VPLST000.XPL     playlist: the feature title with its tracks and 12 chapters
#
# Usage: tools/make_demo_disc.sh [OUTPUT_DIR]     (default: samples/ next to tools/)
#
# Needs ffmpeg (with libx264) and python3 (standard library only). The elementary streams
# are real encoder output: H.264 from libx264, AC-3, E-AC-3, DTS and TrueHD from ffmpeg's
# encoders, 16-bit PCM, and DVD subpictures from ffmpeg's dvdsub encoder (fed with bitmap
# subtitles that make_demo_disc.py draws). The VC-1 stream is synthetic, since no VC-1 encoder
# is at hand: valid sequence and entry-point headers, per GOP one flat I frame (coded at
# 1280x720, every macroblock DC only) and skipped P frames, each padded with filler to a
# realistic size; decoders read it without error. make_demo_disc.py
# then multiplexes everything into 2048-byte packs with navigation packs.
#
# The output is reproducible byte for byte with the same ffmpeg build: single-threaded
# encoders, bit-exact flags, no metadata, no dates. The generated files are committed, so
# building and testing never need ffmpeg.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-"$(dirname "$here")/samples"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

ff() { ffmpeg -hide_banner -nostdin -loglevel error -y "$@"; }
exact="-fflags +bitexact -flags +bitexact -flags:a +bitexact -map_metadata -1"

frames=276          # 23 GOPs of 12 frames; FEATURE_1 takes 12 GOPs, FEATURE_2 11
seconds=11.6        # audio: a little longer than the 11.5115 s of video

# Video 0: H.264 High profile 1920x1080 at 24000/1001, 12-frame closed GOPs with 2 B-frames,
# access unit delimiters, SEI removed (no encoder version string in the sample).
ff -f lavfi -i "testsrc2=size=1920x1080:rate=24000/1001" -frames:v $frames -pix_fmt yuv420p \
   -c:v libx264 -threads 1 -preset medium -profile:v high -level 4.1 \
   -b:v 700k -maxrate 2000k -bufsize 4000k \
   -x264-params "keyint=12:min-keyint=12:scenecut=0:bframes=2:open-gop=0:aud=1:colorprim=bt709:transfer=bt709:colormatrix=bt709" \
   -bsf:v filter_units=remove_types=6 $exact -f h264 "$work/video.h264"

# Audio test signals: a different tone on every channel.
tone6="aevalsrc=exprs='0.25*sin(2*PI*440*t)|0.25*sin(2*PI*554*t)|0.25*sin(2*PI*659*t)|0.25*sin(2*PI*55*t)|0.2*sin(2*PI*330*t)|0.2*sin(2*PI*880*t)':s=48000:c=5.1(side):d=$seconds"
tone2="aevalsrc=exprs='0.25*sin(2*PI*1000*t)|0.25*sin(2*PI*500*t)':s=48000:c=stereo:d=$seconds"

ff -f lavfi -i "$tone6" -c:a ac3 -b:a 448k $exact -f ac3 "$work/audio.ac3"
ff -f lavfi -i "$tone6" -c:a eac3 -b:a 384k $exact -f eac3 "$work/audio.eac3"
ff -f lavfi -i "$tone6" -c:a dca -strict -2 -b:a 768k $exact -f dts "$work/audio.dts"
ff -f lavfi -i "$tone2" -sample_fmt s16 -c:a truehd -strict -2 $exact -f truehd "$work/audio.thd"
ff -f lavfi -i "$tone2" -c:a pcm_s16be $exact -f s16be "$work/audio.pcm"

# Subpictures: two bitmap subtitle streams, encoded as DVD subpictures into a program stream
# from which the muxer lifts the subpicture units (it checks that every unit is complete).
# The program stream muxer reports a harmless "buffer underflow" for a stream of subtitles
# only, hence the quieter log level here.
python3 "$here/make_demo_disc.py" subtitles "$work"
ff -loglevel fatal -fix_sub_duration -i "$work/sub0.sup" -fix_sub_duration -i "$work/sub1.sup" \
   -map 0 -map 1 -c:s dvdsub $exact -f vob "$work/subs.vob"

python3 "$here/make_demo_disc.py" mux "$work" "$out"
