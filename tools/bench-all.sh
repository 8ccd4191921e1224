#!/bin/sh
# Every throughput benchmark in one go, with a warm page cache, and one Markdown table of them:
#
#   cat        `cat FILE > /dev/null`, the reference of the reads;
#   cp         `cp FILE OUTDIR/copy.EVO`, the reference of the writers;
#   Read       the engine's Read pass (tessary-bench-read: fast check off, frame counting and
#              details on; the frame count is checked), as tools/bench_read.sh runs it;
#   Demux      of every stream (tessary-bench-demux), as tools/bench_demux.sh runs it;
#   Rebuild    of half the streams (tessary-bench-rebuild), as tools/bench_rebuild.sh runs it;
#   flood Read `tessary-cli read --full -q --no-continue FLOOD > /dev/null` over SIZE_MB MiB of
#              the bytes 00 00 01 repeated, a start code every three bytes (its exit status and
#              warnings are not held against it: only its time counts).
#
# Each is timed in two places: in memory (a tmpfs, MEM_DIR) and on disk (DISK_DIR), the source
# files and the written files both in that place. The synthetic .EVO (the one the other
# scripts make with the same settings) and the flood file are generated on disk once and kept
# while their settings hold; the memory place gets copies of them, removed at the end. Each
# time is the best of RUNS; before every run of a writer its last files are removed and the
# dirty pages written out (sync). The table gives, for each work and place, the seconds, the
# GB/s of source read, the speed against the reference (Read and flood Read against cat,
# Demux and Rebuild against cp, in the same place) and the peak RSS of a whole run of the tool
# (/usr/bin/time -v when present; else the tool's own report, when it gives one).
#
# --before REV also builds the git revision REV (a temporary worktree in DISK_DIR, removed at
# the end, with its own Release build inside it) and times the same tessary rows with its
# tools on the same files in the same run, the runs of REV and of this tree taken in turn; the
# table then gives both side by side, and how many times faster this tree is.
#
# Usage: tools/bench-all.sh [--before REV]
# Environment: SIZE_MB (1024), VIDEO (vc1 | h264), SALT (1), RUNS (3),
#              MEM_DIR (a tmpfs, /dev/shm: the files go in MEM_DIR/tessary-bench-all),
#              DISK_DIR (build/bench-scratch under the source tree),
#              BUILD_DIR (build/bench-release under the source tree).
# The builds are as serial as cmake makes them; CMAKE_BUILD_PARALLEL_LEVEL=N builds N at once.
# MB and GB are 10^6 and 10^9 bytes; the files are SIZE_MB MiB (2^20 bytes).
set -eu

# shellcheck source-path=SCRIPTDIR source=bench_common.sh
. "$(dirname "$0")/bench_common.sh"

usage() {
    echo "usage: $(sed -n 's/^# \{0,1\}Usage: //p' "$0")"
}

before_rev=
while [ "$#" -gt 0 ]; do
    case $1 in
        --before)
            [ "$#" -ge 2 ] || { usage >&2; exit 2; }
            before_rev=$2
            shift 2
            ;;
        --before=*)
            before_rev=${1#--before=}
            shift
            ;;
        -h | --help)
            usage
            exit 0
            ;;
        *)
            usage >&2
            exit 2
            ;;
    esac
done

bench_settings
after_desc=$(git -C "$root" describe --always --dirty 2>/dev/null || echo "this tree")
before_commit=
if [ -n "$before_rev" ]; then
    before_commit=$(git -C "$root" rev-parse --verify --quiet "$before_rev^{commit}") || {
        echo "not a git revision: $before_rev" >&2
        exit 2
    }
fi

disk_dir=${DISK_DIR:-"$root/build/bench-scratch"}
mem_dir=${MEM_DIR:-/dev/shm}/tessary-bench-all
mkdir -p "$disk_dir" "$mem_dir"
disk_dir=$(cd "$disk_dir" && pwd)
mem_dir=$(cd "$mem_dir" && pwd)
logs=$(mktemp -d "${TMPDIR:-/tmp}/tessary-bench-all.XXXXXX")
worktree=
# shellcheck disable=SC2317 # run by the trap
cleanup() {
    rm -rf "$logs" "$mem_dir" "$disk_dir/out"
    if [ -n "$worktree" ]; then
        git -C "$root" worktree remove --force "$worktree" 2>/dev/null || rm -rf "$worktree"
        git -C "$root" worktree prune
    fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# This tree's tools, then REV's in its worktree (the same targets, built the same way).
sides=after
bench_build tessary-make-bench-evo tessary-bench-read tessary-bench-demux tessary-bench-rebuild \
    tessary-cli
after_tools=$build
if [ -n "$before_commit" ]; then
    sides="before after"
    worktree="$disk_dir/before-worktree"
    if [ -e "$worktree" ]; then
        git -C "$root" worktree remove --force "$worktree" 2>/dev/null || rm -rf "$worktree"
        git -C "$root" worktree prune
    fi
    echo "== worktree of $before_rev ($before_commit) in $worktree"
    git -C "$root" worktree add --detach "$worktree" "$before_commit" >/dev/null 2>&1
    after_root=$root
    root=$worktree
    build="$worktree/build/bench-release"
    bench_build tessary-bench-read tessary-bench-demux tessary-bench-rebuild tessary-cli
    before_tools=$build
    root=$after_root
    build=$after_tools
fi

# The sources, on disk: the synthetic .EVO (room for it and a copy of it) and the flood.
scratch=$disk_dir
bench_source 24 " and its copy"
evo_bytes=$bytes
frames=$(sed -n 's/^video frames: //p' "$info")

# SIZE_MB MiB of 00 00 01 in FILE: a block of 3 MiB (2^20 patterns) made by doubling, as many
# blocks as fit, then the start of one; a block is a whole number of patterns, so the pattern
# runs on unbroken from block to block.
# shellcheck disable=SC2317 # run by bench_generated
make_flood() { # FILE
    block="$1.block"
    printf '\000\000\001' >"$block"
    n=0
    while [ "$n" -lt 20 ]; do
        cat "$block" "$block" >"$block.2"
        mv "$block.2" "$block"
        n=$((n + 1))
    done
    : >"$1"
    left=$size_mb
    while [ "$left" -ge 3 ]; do
        cat "$block" >>"$1"
        left=$((left - 3))
    done
    head -c $((left * 1048576)) "$block" >>"$1"
    rm -f "$block"
    echo "start-code flood: $(wc -c <"$1" | tr -d ' ') bytes of 00 00 01 repeated"
}
bench_generated "$disk_dir/FLOOD.EVO" "flood size-mb $size_mb" $((size_mb * 1024 + 3072)) \
    "a $size_mb MiB file" make_flood "$disk_dir/FLOOD.EVO"
flood_bytes=$bytes

time_v=
if [ -x /usr/bin/time ] && /usr/bin/time -v true >/dev/null 2>&1; then time_v=/usr/bin/time; fi

# One line a run: PLACE WORK SIDE SECONDS BYTES RSS_MB STATUS (tab-separated; SIDE is "ref"
# for cat and cp; RSS_MB and, when the run failed, SECONDS are empty).
results="$logs/results.tsv"
: >"$results"
record() {
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$@" >>"$results"
}

# Runs a tool, its output in $log and its errors in $errors: $status is its exit status,
# $rss_mb its peak RSS in MB (/usr/bin/time -v, else the tool's "peak RSS:" line, else empty)
# and $run_ns the wall time of the whole run.
run_tool() {
    log="$logs/tool.out"
    errors="$logs/tool.err"
    status=0
    t0=$(bench_now_ns)
    if [ -n "$time_v" ]; then
        "$time_v" -v -o "$logs/time.txt" "$@" >"$log" 2>"$errors" || status=$?
    else
        "$@" >"$log" 2>"$errors" || status=$?
    fi
    t1=$(bench_now_ns)
    run_ns=$((t1 - t0))
    if [ -n "$time_v" ]; then
        rss_mb=$(awk '/Maximum resident set size \(kbytes\):/ { printf "%.1f", $NF * 1024 / 1e6 }' \
            "$logs/time.txt")
    else
        rss_mb=$(sed -n 's/^peak RSS: \([0-9.]*\) MB.*/\1/p' "$log")
    fi
}

# The tools of a side: $bench_dir (the timers) and $cli.
side_tools() {
    if [ "$1" = before ]; then tools_dir=$before_tools; else tools_dir=$after_tools; fi
    bench_dir="$tools_dir/tools"
    cli="$tools_dir/app/cli/tessary-cli"
}

# A failed run's status and errors, shown as they happen.
report_failure() { # WHAT
    echo "   $1 failed (exit $status):"
    sed 's/^/   | /' "$errors"
    failed=1
}

failed=0
for place in memory disk; do
    if [ "$place" = memory ]; then dir=$mem_dir; else dir=$disk_dir; fi
    echo "== $place: $dir ($(stat -f -c %T "$dir"))"
    if [ "$place" = memory ]; then
        free_kb=$(df -Pk "$dir" | awk 'NR == 2 { print $4 }')
        need_kb=$(((2 * evo_bytes + flood_bytes) / 1024 + 1024))
        if [ "$free_kb" -lt "$need_kb" ]; then
            echo "not enough free space in $dir for the two sources and a copy" >&2
            exit 1
        fi
        cp "$disk_dir/BENCH.EVO" "$disk_dir/FLOOD.EVO" "$dir/"
    fi
    src="$dir/BENCH.EVO"
    flood="$dir/FLOOD.EVO"
    outdir="$dir/out"
    rm -rf "$outdir"

    echo "   warm the page cache"
    for f in "$src" "$src" "$flood" "$flood"; do cat "$f" >/dev/null; done

    echo "   cat FILE > /dev/null, best of $runs"
    i=0
    while [ "$i" -lt "$runs" ]; do
        t0=$(bench_now_ns)
        cat "$src" >/dev/null
        t1=$(bench_now_ns)
        record "$place" cat ref "$(awk -v ns=$((t1 - t0)) 'BEGIN { print ns / 1e9 }')" \
            "$evo_bytes" "" 0
        i=$((i + 1))
    done

    echo "   cp FILE OUTDIR/copy.EVO, best of $runs"
    i=0
    while [ "$i" -lt "$runs" ]; do
        bench_clean_outputs
        t0=$(bench_now_ns)
        cp "$src" "$outdir/copy.EVO"
        t1=$(bench_now_ns)
        record "$place" cp ref "$(awk -v ns=$((t1 - t0)) 'BEGIN { print ns / 1e9 }')" \
            "$evo_bytes" "" 0
        i=$((i + 1))
    done
    rm -rf "$outdir"

    echo "   Read (tessary-bench-read), best of $runs"
    i=0
    while [ "$i" -lt "$runs" ]; do
        for side in $sides; do
            side_tools "$side"
            run_tool "$bench_dir/tessary-bench-read" "$src" --runs 1 --expect-frames "$frames"
            s=$(sed -n 's/^run 1: [0-9]* bytes in \([0-9.]*\) s.*/\1/p' "$log")
            if [ "$status" -ne 0 ] || [ -z "$s" ]; then
                report_failure "Read ($side)"
                s=
            fi
            record "$place" read "$side" "$s" "$evo_bytes" "$rss_mb" "$status"
        done
        i=$((i + 1))
    done

    for name in demux rebuild; do
        if [ "$name" = demux ]; then label=Demux; else label=Rebuild; fi
        echo "   $label (tessary-bench-$name), best of $runs"
        i=0
        while [ "$i" -lt "$runs" ]; do
            for side in $sides; do
                side_tools "$side"
                bench_clean_outputs
                run_tool "$bench_dir/tessary-bench-$name" "$src" "$outdir" 1
                s=$(sed -n 's/^best: \([0-9.]*\) s.*/\1/p' "$log")
                if [ "$status" -ne 0 ] || [ -z "$s" ]; then
                    report_failure "$label ($side)"
                    s=
                fi
                record "$place" "$name" "$side" "$s" "$evo_bytes" "$rss_mb" "$status"
            done
            i=$((i + 1))
        done
        rm -rf "$outdir"
    done

    echo "   flood Read (tessary-cli read --full -q --no-continue FLOOD), best of $runs"
    i=0
    while [ "$i" -lt "$runs" ]; do
        for side in $sides; do
            side_tools "$side"
            run_tool "$cli" read --full -q --no-continue "$flood"
            if [ "$i" -eq 0 ]; then
                echo "   $side: exit $status$(head -n 1 "$errors" | sed 's/^/, /')"
            fi
            record "$place" flood "$side" "$(awk -v ns="$run_ns" 'BEGIN { print ns / 1e9 }')" \
                "$flood_bytes" "$rss_mb" 0
        done
        i=$((i + 1))
    done

    if [ "$place" = memory ]; then rm -f "$src" "$flood"; fi
done

rss_from=${time_v:+/usr/bin/time -v}
rss_from=${rss_from:-"the tools' own report; none for Read and flood Read"}
echo
echo "Tessary $after_desc${before_commit:+ against $before_rev ($(git -C "$root" rev-parse --short "$before_commit"))}:" \
    "best of $runs, a warm page cache; BENCH.EVO $evo_bytes bytes ($video, salt $salt)," \
    "FLOOD.EVO $flood_bytes bytes of 00 00 01; memory $mem_dir ($(stat -f -c %T "$mem_dir" 2>/dev/null || echo tmpfs))," \
    "disk $disk_dir ($(stat -f -c %T "$disk_dir")). GB/s: 10^9 bytes of source read per second;" \
    "× ref: the speed against cat (reads) or cp (writers) in the same place; peak RSS in" \
    "10^6 bytes ($rss_from)."
echo
awk -F '\t' -v sides="$sides" '
function cell_s(k) { return (k in fail) ? "failed (exit " fail[k] ")" : (k in best) ? sprintf("%.3f", best[k]) : "" }
function cell_rate(k) { return (k in best) ? sprintf("%.2f", bytes[k] / best[k] / 1e9) : "" }
function cell_ratio(k, ref) {
    if (!(k in best) || !(ref in best)) return ""
    r = (bytes[k] / best[k]) / (bytes[ref] / best[ref])
    return sprintf(r < 0.1 ? "%.3f × %s" : "%.2f × %s", r, refname[ref])
}
function cell_rss(k) { return (k in rss) ? sprintf("%.1f", rss[k]) : "" }
{
    k = $1 SUBSEP $2 SUBSEP $3
    if ($7 != 0 || $4 == "") { fail[k] = $7; next }
    if (!(k in best) || $4 + 0 < best[k]) best[k] = $4 + 0
    bytes[k] = $5
    if ($6 != "" && (!(k in rss) || $6 + 0 > rss[k])) rss[k] = $6 + 0
}
END {
    nw = split("cat cp read demux rebuild flood", works, " ")
    label["cat"] = "cat"; label["cp"] = "cp"; label["read"] = "Read"
    label["demux"] = "Demux"; label["rebuild"] = "Rebuild"; label["flood"] = "flood Read"
    refof["read"] = "cat"; refof["flood"] = "cat"; refof["demux"] = "cp"; refof["rebuild"] = "cp"
    both = sides ~ /before/
    if (both) {
        print "| work | place | before s | before GB/s | before × ref | before RSS MB" \
              " | after s | after GB/s | after × ref | after RSS MB | speed-up |"
        print "|---|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|"
    } else {
        print "| work | place | s | GB/s | × ref | peak RSS MB |"
        print "|---|---|--:|--:|--:|--:|"
    }
    np = split("memory disk", places, " ")
    for (p = 1; p <= np; ++p) {
        for (w = 1; w <= nw; ++w) {
            work = works[w]
            isref = work == "cat" || work == "cp"
            if (isref) {
                a = b = places[p] SUBSEP work SUBSEP "ref"
                ratio_a = ratio_b = "ref"
            } else {
                ref = places[p] SUBSEP refof[work] SUBSEP "ref"
                refname[ref] = refof[work]
                a = places[p] SUBSEP work SUBSEP "after"
                b = places[p] SUBSEP work SUBSEP "before"
                ratio_a = cell_ratio(a, ref)
                ratio_b = cell_ratio(b, ref)
            }
            row = "| " label[work] " | " places[p] " | "
            if (both) {
                up = (!isref && (a in best) && (b in best)) ? sprintf("%.2f×", best[b] / best[a]) : ""
                row = row cell_s(b) " | " cell_rate(b) " | " ratio_b " | " cell_rss(b) " | "
                row = row cell_s(a) " | " cell_rate(a) " | " ratio_a " | " cell_rss(a) " | " up " |"
            } else {
                row = row cell_s(a) " | " cell_rate(a) " | " ratio_a " | " cell_rss(a) " |"
            }
            print row
        }
    }
}' "$results"
exit "$failed"
