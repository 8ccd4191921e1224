#!/bin/sh
# Demux throughput with a warm page cache, beside `cp FILE OUTDIR/copy.EVO` on the same file
# system, and the peak memory of a Demux.
#
#   1. builds the benchmark tools in Release (preset "release", own build dir);
#   2. generates a synthetic .EVO of about SIZE_MB MiB once (kept while its parameters hold;
#      the same file as tools/bench_read.sh makes with the same settings);
#   3. warms the page cache (cat twice);
#   4. times `cp FILE OUTDIR/copy.EVO` and the Demux of every stream of FILE into OUTDIR
#      (tessary-bench-demux: Read first, untimed, then the Demux, timed), each the best of RUNS;
#      before every run the files of the last one are removed and the dirty pages written
#      out (sync), so that no run pays for the writes of another;
#   5. prints cp and Demux in GB/s of source read, Demux against cp in percent (the aim is
#      60 % or more) and the peak RSS of a whole tessary-bench-demux run (/usr/bin/time -v
#      when present, else the tool's own report; the limit is 30 MB);
#   6. removes OUTDIR (the copies and the demuxed files); the source stays for the next run.
#
# Usage: tools/bench_demux.sh [SCRATCH_DIR]       (default /tmp/tessary-bench)
# Environment: SIZE_MB (1024), VIDEO (vc1 | h264), SALT (1), RUNS (3),
#              BUILD_DIR (build/bench-release under the source tree).
# MB and GB are 10^6 and 10^9 bytes.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
scratch=${1:-/tmp/tessary-bench}
size_mb=${SIZE_MB:-1024}
video=${VIDEO:-vc1}
salt=${SALT:-1}
runs=${RUNS:-3}
build=${BUILD_DIR:-"$root/build/bench-release"}

echo "== build ($build)"
cd "$root"
cmake --preset release -B "$build" -DTESSARY_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" --target tessary-make-bench-evo tessary-bench-demux >/dev/null
make_evo="$build/tools/tessary-make-bench-evo"
bench_demux="$build/tools/tessary-bench-demux"

mkdir -p "$scratch"
file="$scratch/BENCH.EVO"
info="$scratch/BENCH.EVO.info"
outdir="$scratch/demux-out"
params="size-mb $size_mb, video $video, salt $salt"
if [ ! -f "$file" ] || [ ! -f "$info" ] || [ "$(head -n 1 "$info")" != "$params" ]; then
    rm -f "$file" "$info"
    free_kb=$(df -Pk "$scratch" | awk 'NR == 2 { print $4 }')
    # The source, then a copy or the demuxed streams beside it.
    if [ "$free_kb" -lt $((size_mb * 1024 * 24 / 10)) ]; then
        echo "not enough free space in $scratch for a $size_mb MiB file and its copy" >&2
        exit 1
    fi
    echo "== generate $file ($params)"
    { echo "$params"; "$make_evo" "$file" --size-mb "$size_mb" --video "$video" --salt "$salt"; } \
        >"$info.tmp"
    mv "$info.tmp" "$info"
fi
sed -n '2,$p' "$info" | sed 's/^/   /'
bytes=$(wc -c <"$file" | tr -d ' ')

rm -rf "$outdir"
trap 'rm -rf "$outdir"' EXIT
trap 'exit 1' INT TERM
clean_outputs() {
    rm -rf "$outdir"
    mkdir -p "$outdir"
    sync
}

now_ns() { date +%s%N; }
rate() { # bytes nanoseconds -> "N MB/s (N.NN GB/s)"
    awk -v b="$1" -v ns="$2" 'BEGIN { r = b * 1000 / ns; printf "%.0f MB/s (%.2f GB/s)", r, r / 1000 }'
}

echo "== warm the page cache"
cat "$file" >/dev/null
cat "$file" >/dev/null

echo "== cp FILE OUTDIR/copy.EVO, best of $runs"
cp_ns=
i=0
while [ "$i" -lt "$runs" ]; do
    clean_outputs
    t0=$(now_ns)
    cp "$file" "$outdir/copy.EVO"
    t1=$(now_ns)
    d=$((t1 - t0))
    echo "   run $((i + 1)): $(rate "$bytes" "$d")"
    if [ -z "$cp_ns" ] || [ "$d" -lt "$cp_ns" ]; then cp_ns=$d; fi
    i=$((i + 1))
done
cp_rate=$(rate "$bytes" "$cp_ns")

echo "== Demux of every stream (tessary-bench-demux), best of $runs"
time_v=
if [ -x /usr/bin/time ] && /usr/bin/time -v true >/dev/null 2>&1; then time_v=/usr/bin/time; fi
demux_s=
rss_kb=0
i=0
while [ "$i" -lt "$runs" ]; do
    clean_outputs
    log="$outdir/bench.log"
    if [ -n "$time_v" ]; then
        "$time_v" -v -o "$outdir/time.txt" "$bench_demux" "$file" "$outdir" 1 >"$log"
        kb=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$outdir/time.txt")
    else
        "$bench_demux" "$file" "$outdir" 1 >"$log"
        kb=$(awk '/^peak RSS: / { printf "%.0f", $3 * 1000 / 1024 }' "$log")
    fi
    s=$(sed -n 's/^best: \([0-9.]*\) s.*/\1/p' "$log")
    sed -n 's/^run 1: /   run '"$((i + 1))"': /p' "$log"
    if [ -z "$demux_s" ] || awk -v a="$s" -v b="$demux_s" 'BEGIN { exit !(a < b) }'; then
        demux_s=$s
    fi
    if [ "$kb" -gt "$rss_kb" ]; then rss_kb=$kb; fi
    i=$((i + 1))
done
written=$(sed -n 's/^bytes written: //p' "$log")
demux_ns=$(awk -v s="$demux_s" 'BEGIN { printf "%.0f", s * 1e9 }')
demux_rate=$(rate "$bytes" "$demux_ns")
percent=$(awk -v c="$cp_ns" -v d="$demux_ns" 'BEGIN { printf "%.0f", c * 100 / d }')
rss_mb=$(awk -v kb="$rss_kb" 'BEGIN { printf "%.1f", kb * 1024 / 1e6 }')
rss_from=${time_v:+/usr/bin/time -v}
rss_from=${rss_from:-the tool}

echo
echo "file:      $file, $bytes bytes; the Demux writes $written bytes"
echo "cp:        $cp_rate"
echo "Demux:     $demux_rate, $percent % of cp (aim: 60 % or more)"
echo "peak RSS:  $rss_mb MB, a whole Demux run ($rss_from; limit: 30 MB)"
