#!/bin/sh
# Rebuild throughput with a warm page cache, beside `cp FILE OUTDIR/copy.EVO` on the same file
# system, and the peak memory of a Rebuild: tessary-bench-rebuild Reads FILE, untimed, unticks
# every other stream of each kind (the generated file keeps its video, audio 0, 2 and 4 and
# subpicture 0; the advanced packs are dropped), then Rebuilds OUTDIR/BENCH.rebuilt.EVO, timed.
# The steps, the report and the settings are those of tools/bench_common.sh.
#
# Usage: tools/bench_rebuild.sh [SCRATCH_DIR]     (default /tmp/tessary-bench)
# Environment: SIZE_MB (1024), VIDEO (vc1 | h264), SALT (1), RUNS (3),
#              BUILD_DIR (build/bench-release under the source tree).
set -eu
# shellcheck source-path=SCRIPTDIR source=bench_common.sh
. "$(dirname "$0")/bench_common.sh"
bench_command rebuild Rebuild "of half the streams" "$@"
