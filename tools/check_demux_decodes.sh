#!/usr/bin/env bash
# Demuxes the demo disc (FEATURE_1.EVO, continuing onto FEATURE_2.EVO) into a temporary folder
# and lets ffprobe decode every demuxed video and audio file. For each file it prints what
# tools/make_demo_disc.sh made the stream with and what ffprobe finds in the file: codec,
# profile, picture size, frame rate, sampling rate, channels, the packets its parser found
# (nb_read_packets), the frames it decoded (nb_read_frames) and the decoder's complaints.
# The subpicture files (.sup records) are not probed.
#
# Usage: tools/check_demux_decodes.sh        (after tools/build.sh; builds nothing itself)
#
# Raw elementary streams carry no container, so ffprobe is told the format of each one. LPCM
# is written without its header: its sample layout is taken from the Read report (bits,
# sampling rate, channels) and given to ffprobe as raw big-endian PCM.
set -euo pipefail
cd "$(dirname "$0")/.."

cli=build/dev/app/cli/tessary-cli
source_file=samples/HVDVD_TS/FEATURE_1.EVO
if [ ! -x "$cli" ]; then
    echo "$0: $cli is missing; build first (tools/build.sh)" >&2
    exit 1
fi
if ! command -v ffprobe >/dev/null 2>&1; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get install -y ffmpeg >/dev/null
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT INT TERM
"$cli" demux -q -o "$out" "$source_file" >"$out/report.txt"

# The first value of a detail line ("   Name = value") of the first report block of a stream.
detail() { # STREAM-HEADING NAME
    awk -v heading="$1" -v name="$2" '
        index($0, heading) == 1 { inside = 1; next }
        inside && !/^   / { exit }
        inside && index($0, "   " name " = ") == 1 {
            sub(".*" name " = ", ""); split($0, word, " "); print word[1]; exit
        }' "$out/report.txt"
}

# ffprobe's findings as "key=value" pairs, unknown values left out.
probe() { # FILE FFPROBE-INPUT-OPTIONS...
    local file=$1
    shift
    local errors="$out/ffprobe-errors.txt"
    local found
    found=$(ffprobe -v error "$@" -i "$file" -count_frames -count_packets -select_streams 0 \
        -show_entries stream=codec_name,profile,level,width,height,pix_fmt,r_frame_rate,sample_fmt,sample_rate,channels,channel_layout,bits_per_raw_sample,bit_rate,nb_read_packets,nb_read_frames \
        -of compact=p=0 2>"$errors" |
        tr '|' '\n' | grep -vE '=(N/A|unknown|0|0/0|-99)?$' | paste -sd ' ') || true
    echo "  ffprobe:   ${found:-nothing}"
    local complaints
    complaints=$(wc -l <"$errors")
    if [ "$complaints" -eq 0 ]; then
        echo "  decoder:   no errors"
    else
        echo "  decoder:   $complaints error lines, the first: $(head -n 1 "$errors")"
    fi
}

# The files in the order Demux created them (video, audio, subpicture).
sed -n 's/^Creating //p' "$out/report.txt" | while IFS= read -r file; do
    name=$(basename "$file")
    case "$name" in
    *.H.264.stream.*)
        made="H.264 High@4.1, 1920x1080, 24000/1001 fps, yuv420p, 276 frames, GOP 12, 2 B-frames (libx264)"
        set -- -f h264 ;;
    *.VC-1.stream.*)
        made="VC-1 Advanced@L3, 1920x1080 (coded 1280x720), 24000/1001 fps, 276 frames; synthetic: flat I frames, skipped P frames"
        set -- -f vc1 ;;
    *.MPEG2.stream.*)
        made="(no MPEG-2 video on the demo disc)"
        set -- -f mpegvideo ;;
    *.DD+.stream.*)
        made="E-AC-3 5.1(side), 48 kHz, 384 kbit/s (ffmpeg eac3)"
        set -- -f eac3 ;;
    *.DD.stream.*)
        made="AC-3 5.1(side), 48 kHz, 448 kbit/s (ffmpeg ac3)"
        set -- -f ac3 ;;
    *.DTS*.stream.*)
        made="DTS 5.1(side), 48 kHz, 768 kbit/s (ffmpeg dca)"
        set -- -f dts ;;
    *.MLP.stream.*)
        made="TrueHD stereo, 48 kHz, from s16 samples (ffmpeg truehd)"
        set -- -f truehd ;;
    *.LPCM.stream.*)
        made="LPCM stereo, 48 kHz, 16 bits, big-endian (ffmpeg pcm_s16be)"
        number=${name#*.LPCM.stream.}
        heading="LPCM audio stream $((10#${number%%.*})) found!"
        bits=$(detail "$heading" "Quantization length")
        khz=$(detail "$heading" "Sampling frequency")
        channels=$(detail "$heading" "Number of audio channels")
        # 24-bit LPCM groups the low bytes of its samples apart from the high ones: read as
        # s24be its parameters show, its samples do not.
        if [ "$bits" != 16 ] && [ "$bits" != 24 ]; then
            echo "$name"
            echo "  made with: $made"
            echo "  not probed: the Read reports ${bits:-no} bits per sample"
            continue
        fi
        made="$made; the Read reports $bits bits, $khz kHz, $channels channels"
        set -- -f "s${bits}be" -ar "$((khz * 1000))" -ac "$channels" ;;
    *.sup)
        echo "$name"
        echo "  not probed (subpicture records)"
        continue ;;
    *)
        made="?"
        set -- ;;
    esac
    echo "$name"
    echo "  made with: $made"
    probe "$file" "$@"
done

# An independent check of the bytes: ffmpeg's stream copy of FEATURE_1.EVO alone, compared
# with a Demux of that file alone (LPCM and the subpictures differ by design: ffmpeg keeps
# neither as a bare elementary stream).
echo
echo "Compared with ffmpeg's stream copy of $(basename "$source_file") alone:"
single="$out/single"
mkdir "$single"
"$cli" demux -q --no-continue -o "$single" "$source_file" >/dev/null
for pair in "v:0 h264 H.264.stream.0.mpv" "v:1 vc1 VC-1.stream.1.mpv" "a:0 ac3 DD.stream.00.mpa" \
    "a:1 eac3 DD+.stream.01.mpa" "a:2 dts DTSHD.stream.02.mpa" "a:3 truehd MLP.stream.03.mpa"; do
    set -- $pair
    ffmpeg -v error -i "$source_file" -map "0:$1" -c copy -f "$2" "$single/ffmpeg.$2"
    if cmp -s "$single/ffmpeg.$2" "$single/FEATURE_1.$3"; then
        echo "  $3: identical ($(stat -c %s "$single/FEATURE_1.$3") bytes)"
    else
        echo "  $3: DIFFERS"
    fi
done
