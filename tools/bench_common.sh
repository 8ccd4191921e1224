# What the benchmark scripts share; sourced by them (with set -eu), not run. The settings
# (bench_settings), the Release build (bench_build), a generated file (bench_generated) such as
# the synthetic source (bench_source), a warm page cache (bench_warm), and the whole of a
# command benchmark (bench_command), which tools/bench_demux.sh and tools/bench_rebuild.sh run:
# the timer tessary-bench-COMMAND beside `cp FILE OUTDIR/copy.EVO` on the same file system,
# both over the synthetic .EVO:
#
#   1. builds the generator and the timer in Release (preset "release", own build dir);
#   2. generates a synthetic .EVO of about SIZE_MB MiB once (kept while its parameters hold;
#      the same file as tools/bench_read.sh makes with the same settings);
#   3. warms the page cache (cat twice);
#   4. times `cp FILE OUTDIR/copy.EVO` and the command (the timer reads FILE first, untimed,
#      then runs the command, timed), each the best of RUNS; before every run the files of
#      the last one are removed and the dirty pages written out (sync), so that no run pays
#      for the writes of another;
#   5. prints cp and the command in GB/s of source read, the command against cp in percent
#      (the aim is 60 % or more) and the peak RSS of a whole timer run (/usr/bin/time -v when
#      present, else the timer's own report; the limit is 30 MB);
#   6. removes OUTDIR (the copies and the written files); the source stays for the next run.
#
# bench_command COMMAND LABEL WHAT [SCRATCH_DIR]
#   COMMAND: demux | rebuild (the timer tessary-bench-COMMAND, OUTDIR SCRATCH_DIR/COMMAND-out);
#   LABEL: the command's name in the report ("Demux"); WHAT: what it does ("of every stream").
# Environment: SIZE_MB (1024), VIDEO (vc1 | h264), SALT (1), RUNS (3),
#              BUILD_DIR (build/bench-release under the source tree).
# MB and GB are 10^6 and 10^9 bytes.

bench_now_ns() { date +%s%N; }

bench_rate() { # bytes nanoseconds -> "N MB/s (N.NN GB/s)"
    awk -v b="$1" -v ns="$2" \
        'BEGIN { r = b * 1000 / ns; printf "%.0f MB/s (%.2f GB/s)", r, r / 1000 }'
}

# The settings of every benchmark script: the scratch folder (argument, else
# /tmp/tessary-bench) and the environment.
bench_settings() {
    root=$(cd "$(dirname "$0")/.." && pwd)
    scratch=${1:-/tmp/tessary-bench}
    size_mb=${SIZE_MB:-1024}
    video=${VIDEO:-vc1}
    salt=${SALT:-1}
    runs=${RUNS:-3}
    build=${BUILD_DIR:-"$root/build/bench-release"}
}

# Builds TARGETS... in Release in the benchmark build folder; the current folder is the source
# tree's root afterwards.
bench_build() {
    echo "== build ($build)"
    cd "$root" || exit 1
    cmake --preset release -B "$build" -DTESSARY_BUILD_BENCHMARKS=ON >/dev/null
    cmake --build "$build" --target "$@" >/dev/null
}

# A generated file, made when it is missing or was made with other settings: its generator's
# report is in $info (FILE.info), line 1 the settings; $bytes is its size afterwards.
# bench_generated FILE PARAMS NEED_KB WHAT GENERATOR ARGS...: the settings line, the free space
# in kB the generation needs (the file and what the script writes beside it), what the refusal
# names ("a 1024 MiB file"), and the command that writes FILE and reports on stdout.
bench_generated() {
    file=$1
    info="$1.info"
    params=$2
    need_kb=$3
    what=$4
    shift 4
    mkdir -p "$(dirname "$file")"
    if [ ! -f "$file" ] || [ ! -f "$info" ] || [ "$(head -n 1 "$info")" != "$params" ]; then
        rm -f "$file" "$info"
        free_kb=$(df -Pk "$(dirname "$file")" | awk 'NR == 2 { print $4 }')
        if [ "$free_kb" -lt "$need_kb" ]; then
            echo "not enough free space in $(dirname "$file") for $what" >&2
            exit 1
        fi
        echo "== generate $file ($params)"
        { echo "$params"; "$@"; } >"$info.tmp"
        mv "$info.tmp" "$info"
    fi
    sed -n '2,$p' "$info" | sed 's/^/   /'
    bytes=$(wc -c <"$file" | tr -d ' ')
}

# The synthetic source $scratch/BENCH.EVO (bench_generated).
# bench_source SPACE_TENTHS WHAT_ELSE: the free space a generation needs, in tenths of the
# file's size (the file and what the script writes), and the words the refusal adds.
bench_source() {
    bench_generated "$scratch/BENCH.EVO" "size-mb $size_mb, video $video, salt $salt" \
        $((size_mb * 1024 * $1 / 10)) "a $size_mb MiB file$2" \
        "$build/tools/tessary-make-bench-evo" "$scratch/BENCH.EVO" --size-mb "$size_mb" \
        --video "$video" --salt "$salt"
}

bench_warm() {
    echo "== warm the page cache"
    cat "$file" >/dev/null
    cat "$file" >/dev/null
}

bench_command() {
    name=$1
    label=$2
    what=$3
    bench_settings "${4:-}"
    timer_name=tessary-bench-$name
    timer="$build/tools/$timer_name"
    outdir="$scratch/$name-out"
    bench_build tessary-make-bench-evo "$timer_name"
    # The source, then a copy or the written files beside it.
    bench_source 24 " and its copy"

    rm -rf "$outdir"
    trap 'rm -rf "$outdir"' EXIT
    trap 'exit 1' INT TERM

    bench_warm

    echo "== cp FILE OUTDIR/copy.EVO, best of $runs"
    cp_ns=
    i=0
    while [ "$i" -lt "$runs" ]; do
        bench_clean_outputs
        t0=$(bench_now_ns)
        cp "$file" "$outdir/copy.EVO"
        t1=$(bench_now_ns)
        d=$((t1 - t0))
        echo "   run $((i + 1)): $(bench_rate "$bytes" "$d")"
        if [ -z "$cp_ns" ] || [ "$d" -lt "$cp_ns" ]; then cp_ns=$d; fi
        i=$((i + 1))
    done
    cp_rate=$(bench_rate "$bytes" "$cp_ns")

    echo "== $label $what ($timer_name), best of $runs"
    time_v=
    if [ -x /usr/bin/time ] && /usr/bin/time -v true >/dev/null 2>&1; then time_v=/usr/bin/time; fi
    best_s=
    rss_kb=0
    i=0
    while [ "$i" -lt "$runs" ]; do
        bench_clean_outputs
        log="$outdir/bench.log"
        if [ -n "$time_v" ]; then
            "$time_v" -v -o "$outdir/time.txt" "$timer" "$file" "$outdir" 1 >"$log"
            kb=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$outdir/time.txt")
        else
            "$timer" "$file" "$outdir" 1 >"$log"
            kb=$(awk '/^peak RSS: / { printf "%.0f", $3 * 1000 / 1024 }' "$log")
        fi
        if [ "$i" -eq 0 ]; then sed -n 's/^kept: /   kept: /p' "$log"; fi
        s=$(sed -n 's/^best: \([0-9.]*\) s.*/\1/p' "$log")
        sed -n 's/^run 1: /   run '"$((i + 1))"': /p' "$log"
        if [ -z "$best_s" ] || awk -v a="$s" -v b="$best_s" 'BEGIN { exit !(a < b) }'; then
            best_s=$s
        fi
        if [ "$kb" -gt "$rss_kb" ]; then rss_kb=$kb; fi
        i=$((i + 1))
    done
    written=$(sed -n 's/^bytes written: //p' "$log")
    best_ns=$(awk -v s="$best_s" 'BEGIN { printf "%.0f", s * 1e9 }')
    command_rate=$(bench_rate "$bytes" "$best_ns")
    percent=$(awk -v c="$cp_ns" -v d="$best_ns" 'BEGIN { printf "%.0f", c * 100 / d }')
    rss_mb=$(awk -v kb="$rss_kb" 'BEGIN { printf "%.1f", kb * 1024 / 1e6 }')
    rss_from=${time_v:+/usr/bin/time -v}
    rss_from=${rss_from:-the tool}

    echo
    echo "file:      $file, $bytes bytes; the $label writes $written bytes"
    echo "cp:        $cp_rate"
    printf '%-10s %s, %s %% of cp (aim: 60 %% or more)\n' "$label:" "$command_rate" "$percent"
    echo "peak RSS:  $rss_mb MB, a whole $label run ($rss_from; limit: 30 MB)"
}

bench_clean_outputs() {
    rm -rf "$outdir"
    mkdir -p "$outdir"
    sync
}
