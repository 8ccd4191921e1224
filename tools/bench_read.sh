#!/bin/sh
# Read-pass throughput with a warm page cache, beside `cat FILE > /dev/null` on the same file.
#
#   1. builds the benchmark tools and tessary-cli in Release (preset "release", own build dir);
#   2. generates a synthetic .EVO of about SIZE_MB MiB once (kept while its parameters hold);
#   3. warms the page cache (cat twice);
#   4. times cat, the engine's Read pass (tessary-bench-read: fast check off, frame counting
#      and details on; the frame count is checked) and, when hyperfine is installed, the
#      whole command `tessary-cli read --full -q --no-continue FILE > /dev/null`;
#      each the best of RUNS.
#
# Usage: tools/bench_read.sh [SCRATCH_DIR]        (default /tmp/tessary-bench)
# Environment: SIZE_MB (1024), VIDEO (vc1 | h264), SALT (1), RUNS (3),
#              BUILD_DIR (build/bench-release under the source tree).
# MB and GB are 10^6 and 10^9 bytes.
set -eu

# shellcheck source-path=SCRIPTDIR source=bench_common.sh
. "$(dirname "$0")/bench_common.sh"
bench_settings "$@"
bench_build tessary-make-bench-evo tessary-bench-read tessary-cli
bench_read="$build/tools/tessary-bench-read"
cli="$build/app/cli/tessary-cli"
bench_source 12 ""
frames=$(sed -n 's/^video frames: //p' "$info")

# Best (shortest) wall time in nanoseconds of RUNS runs of a command.
best_ns() {
    best=
    i=0
    while [ "$i" -lt "$runs" ]; do
        t0=$(bench_now_ns)
        "$@"
        t1=$(bench_now_ns)
        d=$((t1 - t0))
        if [ -z "$best" ] || [ "$d" -lt "$best" ]; then best=$d; fi
        i=$((i + 1))
    done
    echo "$best"
}
cat_file() { cat "$1" >/dev/null; }

bench_warm

echo "== cat FILE > /dev/null, best of $runs"
cat_ns=$(best_ns cat_file "$file")
cat_rate=$(bench_rate "$bytes" "$cat_ns")
echo "   $cat_rate"

echo "== Read pass (tessary-bench-read), best of $runs"
read_out=$("$bench_read" "$file" --runs "$runs" --expect-frames "$frames")
echo "$read_out" | sed 's/^/   /'
read_rate=$(echo "$read_out" | sed -n 's/^best: //p')

cli_rate=
if command -v hyperfine >/dev/null 2>&1; then
    echo "== tessary-cli read --full -q --no-continue FILE > /dev/null (hyperfine), best of $runs"
    csv="$scratch/cli-times.csv"
    hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$csv" \
        "'$cli' read --full -q --no-continue '$file'" | sed 's/^/   /'
    cli_min=$(awk -F, 'NR == 2 { print $7 }' "$csv")
    cli_rate=$(awk -v b="$bytes" -v s="$cli_min" \
        'BEGIN { r = b / s / 1e6; printf "%.0f MB/s (%.2f GB/s)", r, r / 1000 }')
    "$cli" read --full -q --no-continue "$file" | grep "frames count" | sed 's/^/   /'
else
    echo "== (hyperfine not installed: the CLI is not timed)"
fi

echo
echo "file:      $file, $bytes bytes, $frames video frames"
echo "cat:       $cat_rate"
echo "Read pass: $read_rate"
if [ -n "$cli_rate" ]; then echo "CLI read:  $cli_rate"; fi
