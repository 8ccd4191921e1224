#!/bin/sh
# What the option LPCM as WAV costs a Demux, with a warm page cache: tessary-cli demux of a
# VOB holding one LPCM stream (24 bits, 5.1, 48 kHz; made by ffmpeg, about 520 MB for the
# default 600 s), with and without --lpcm-wav, each the best of RUNS. Each run is the whole
# command: the Read (fast check, the first 300 MB) and the Demux; the files of the run before
# are removed and written out (sync) first.
#
# Usage: tools/bench_lpcm_wav.sh [SCRATCH_DIR]    (default /tmp/tessary-bench)
# Environment: SECONDS_OF_AUDIO (600), RUNS (3), BUILD_DIR (build/bench-release under the
#              source tree). MB and GB are 10^6 and 10^9 bytes.
set -eu
# shellcheck source-path=SCRIPTDIR source=bench_common.sh
. "$(dirname "$0")/bench_common.sh"
bench_settings "$@"
seconds=${SECONDS_OF_AUDIO:-600}
bench_build tessary-cli
cli="$build/app/cli/tessary-cli"

bench_generated "$scratch/lpcm/LPCM.VOB" "seconds $seconds" $((seconds * 18 * 48 * 2)) \
    "$seconds s of 24-bit 5.1 LPCM" ffmpeg -hide_banner -loglevel error -y -f lavfi \
    -i "anoisesrc=color=white:amplitude=0.5:sample_rate=48000:duration=$seconds" \
    -af "pan=5.1(side)|c0=c0|c1=0.5*c0|c2=0.3*c0|c3=0.2*c0|c4=0.7*c0|c5=0.9*c0" \
    -c:a pcm_dvd -sample_fmt s32 -f vob "$scratch/lpcm/LPCM.VOB"
outdir="$scratch/lpcm/out"
trap 'rm -rf "$outdir"' EXIT
bench_warm

for option in "" --lpcm-wav; do
    best_ns=
    i=0
    while [ "$i" -lt "$runs" ]; do
        rm -rf "$outdir"
        sync
        start=$(bench_now_ns)
        "$cli" demux -q $option -o "$outdir" "$file" >/dev/null
        ns=$(($(bench_now_ns) - start))
        if [ -z "$best_ns" ] || [ "$ns" -lt "$best_ns" ]; then best_ns=$ns; fi
        i=$((i + 1))
    done
    written=$(cat "$outdir"/* | wc -c | tr -d ' ')
    printf '%-22s %s, %s bytes written\n' "demux ${option:-(bare payload)}:" \
        "$(bench_rate "$bytes" "$best_ns")" "$written"
    if [ -z "$option" ]; then bare_ns=$best_ns; fi
done
awk -v b="$bare_ns" -v w="$best_ns" 'BEGIN { printf "as WAV:                %.0f %% of the bare Demux time\n", w * 100 / b }'
