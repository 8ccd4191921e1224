#!/bin/sh
# Demux throughput with a warm page cache, beside `cp FILE OUTDIR/copy.EVO` on the same file
# system, and the peak memory of a Demux: tessary-bench-demux Reads FILE, untimed, then
# Demuxes every stream it found into OUTDIR, timed. The steps, the report and the settings
# are those of tools/bench_common.sh.
#
# Usage: tools/bench_demux.sh [SCRATCH_DIR]       (default /tmp/tessary-bench)
# Environment: SIZE_MB (1024), VIDEO (vc1 | h264), SALT (1), RUNS (3),
#              BUILD_DIR (build/bench-release under the source tree).
set -eu
# shellcheck source-path=SCRIPTDIR source=bench_common.sh
. "$(dirname "$0")/bench_common.sh"
bench_command demux Demux "of every stream" "$@"
