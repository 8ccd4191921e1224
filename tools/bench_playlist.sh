#!/bin/sh
# Playlist reader throughput and memory with a warm page cache: tessary-bench-playlist reads a
# generated playlist of the demo disc's shape for the title that plays a given source, the way
# Read XPL does.
#
#   1. builds the generator and the timer in Release (preset "release", own build dir);
#   2. generates SCRATCH_DIR/playlist/VPLST000.XPL of about PLAYLIST_MB MB once (kept while
#      its size holds): some thousands of titles of 2 to 4 clips and 24 to 40 chapters, the
#      one asked for the third from the end;
#   3. warms the page cache (cat twice);
#   4. times readPlaylist, the best of RUNS, and checks the tag lines and chapters of the title
#      against what the generator wrote;
#   5. prints the seconds, MB/s and the peak RSS of the timer against the file's size (the aim
#      is well under a second for 100 MB, and a peak RSS under 30 MB: the reader keeps only the
#      lines of the title at hand, whatever the file's size).
#
# Usage: tools/bench_playlist.sh [SCRATCH_DIR]    (default /tmp/tessary-bench)
# Environment: PLAYLIST_MB (100), RUNS (3), BUILD_DIR (build/bench-release under the source
#              tree).
# MB are 10^6 bytes.
set -eu

# shellcheck source-path=SCRIPTDIR source=bench_common.sh
. "$(dirname "$0")/bench_common.sh"
bench_settings "$@"
playlist_mb=${PLAYLIST_MB:-100}
bench_build tessary-make-bench-playlist tessary-bench-playlist
timer="$build/tools/tessary-bench-playlist"

bench_generated "$scratch/playlist/VPLST000.XPL" "size-mb $playlist_mb" \
    $((playlist_mb * 1000 * 11 / 10)) "a $playlist_mb MB playlist" \
    "$build/tools/tessary-make-bench-playlist" "$scratch/playlist/VPLST000.XPL" \
    --size-mb "$playlist_mb"
source_base=$(sed -n 's/^source base: //p' "$info")
file_lines=$(sed -n 's/^tag lines: //p' "$info")
title_lines=$(sed -n 's/^title tag lines: //p' "$info")
title_chapters=$(sed -n 's/^title chapters: //p' "$info")

bench_warm

echo "== readPlaylist for $source_base (tessary-bench-playlist), best of $runs"
log="$scratch/playlist/bench.log"
"$timer" "$file" "$source_base" "$runs" >"$log"
sed -n 's/^run /   run /p' "$log"
bytes=$(sed -n 's/^bytes: //p' "$log")
best=$(sed -n 's/^best: //p' "$log")
lines=$(sed -n 's/^tag lines: \([0-9]*\).*/\1/p' "$log")
chapters=$(sed -n 's/^chapters: //p' "$log")
rss=$(sed -n 's/^peak RSS: //p' "$log")
if [ "$lines" != "$title_lines" ] || [ "$chapters" != "$title_chapters" ]; then
    echo "the title read has $lines tag lines and $chapters chapters;" \
        "the generator wrote $title_lines and $title_chapters" >&2
    exit 1
fi

echo
echo "file:      $file, $bytes bytes, $file_lines tag lines"
echo "read:      $best (aim: well under 1 s for 100 MB)"
echo "title:     $lines tag lines, $chapters chapters ($source_base)"
echo "peak RSS:  $rss (aim: under 30 MB)"
