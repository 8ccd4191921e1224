#!/bin/sh
# Peak memory and time of tessary-cli on playlists made to exhaust it:
#
#   unclosed   PLAYLIST_MB (100) MB of "<a>": tags that open a level each and close none
#   trailing   the demo disc's playlist followed by PLAYLIST_MB MB of "<b/>"
#   chapters   the demo disc's playlist with CHAPTERS (200000) chapters in its feature's title
#
# For each: `tessary-cli playlist FILE --source FEATURE_1.EVO`, and `tessary-cli mkv` of a copy
# of the demo disc whose ADV_OBJ/VPLST000.XPL is that file (mkv reads the disc's playlist by
# itself). The demo disc as it is comes first, for comparison. Each row gives the peak RSS of
# tessary-cli, the wall-clock seconds and the exit status; a peak of 30 MB or more fails the
# script. mkvmerge runs through a wrapper that measures its own peak (given beside, not held
# against the limit) and reads tessary-cli's peak so far (VmHWM) when it ends.
#
# Usage: tools/bench-playlist-memory.sh [SCRATCH_DIR]    (default /tmp/tessary-bench)
# Environment: CLI (build/dev/app/cli/tessary-cli under the source tree), PLAYLIST_MB (100),
#              CHAPTERS (200000). The generated files are kept for the next run; MB are 10^6
#              bytes for the files and 2^20 bytes for the peaks.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
scratch=${1:-/tmp/tessary-bench}/playlist-memory
cli=${CLI:-"$root/build/dev/app/cli/tessary-cli"}
playlist_mb=${PLAYLIST_MB:-100}
chapters=${CHAPTERS:-200000}
limit_kb=$((30 * 1024))
demo="$root/samples"

[ -x "$cli" ] || { echo "no tessary-cli at $cli (build it, or set CLI)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is needed (apt-get install time)" >&2; exit 1; }
mkdir -p "$scratch"

# A playlist, made when missing or made with other settings.
generate() { # NAME SETTINGS ARGS...
    file="$scratch/$1.XPL"
    settings=$2
    shift 2
    if [ ! -f "$file" ] || [ "$(cat "$file.settings" 2>/dev/null)" != "$settings" ]; then
        echo "== generate $file ($settings)"
        python3 "$root/tools/make_flood_playlist.py" "$@" >/dev/null
        echo "$settings" >"$file.settings"
    fi
}
generate unclosed "$playlist_mb MB" unclosed "$scratch/unclosed.XPL" "$playlist_mb"
generate trailing "$playlist_mb MB" trailing "$demo/ADV_OBJ/VPLST000.XPL" \
    "$scratch/trailing.XPL" "$playlist_mb"
generate chapters "$chapters chapters" chapters "$demo/ADV_OBJ/VPLST000.XPL" \
    "$scratch/chapters.XPL" "$chapters"

# A copy of the demo disc with the playlist PLAYLIST: SCRATCH/disc-NAME.
disc() { # NAME PLAYLIST
    dir="$scratch/disc-$1"
    rm -rf "$dir"
    mkdir -p "$dir/ADV_OBJ"
    cp -R "$demo/HVDVD_TS" "$dir/"
    ln -s "$2" "$dir/ADV_OBJ/VPLST000.XPL"
}

# The wrapper that tessary-cli finds as mkvmerge.
muxer=$(command -v mkvmerge || true)
mkdir -p "$scratch/bin"
cat >"$scratch/bin/mkvmerge" <<EOF
#!/bin/sh
/usr/bin/time -f %M -o "$scratch/muxer.kb" "${muxer:-mkvmerge}" "\$@"
status=\$?
awk '/^VmHWM:/ { print \$2 }' /proc/\$PPID/status >"$scratch/caller.kb"
exit \$status
EOF
chmod +x "$scratch/bin/mkvmerge"

failed=0
# Runs the command and prints its row: LABEL, tessary-cli's peak RSS, seconds, exit status, and
# mkvmerge's peak when it ran.
measure() { # LABEL COMMAND...
    label=$1
    shift
    status=0
    rm -f "$scratch/muxer.kb" "$scratch/caller.kb"
    PATH="$scratch/bin:$PATH" /usr/bin/time -f "%M %e" -o "$scratch/time.txt" "$@" \
        >"$scratch/out.txt" 2>"$scratch/err.txt" || status=$?
    kb=$(tail -n 1 "$scratch/time.txt" | cut -d' ' -f1)
    seconds=$(tail -n 1 "$scratch/time.txt" | cut -d' ' -f2)
    muxer_kb=""
    if [ -s "$scratch/caller.kb" ]; then
        kb=$(cat "$scratch/caller.kb")
        muxer_kb=$(tail -n 1 "$scratch/muxer.kb")
    fi
    mark=""
    if [ "$kb" -ge "$limit_kb" ]; then
        mark="  OVER 30 MB"
        failed=1
    fi
    awk -v l="$label" -v kb="$kb" -v s="$seconds" -v st="$status" -v m="$mark" \
        -v mux="$muxer_kb" 'BEGIN {
            printf "%-20s %7.1f MB %8.2f s   exit %s%s", l, kb / 1024, s, st, m
            if (mux != "") printf "   (mkvmerge %.1f MB)", mux / 1024
            printf "\n"
        }'
}

echo "== $cli"
printf "%-20s %10s %10s\n" "" "peak RSS" "time"
for name in demo unclosed trailing chapters; do
    if [ "$name" = demo ]; then xpl="$demo/ADV_OBJ/VPLST000.XPL"; else xpl="$scratch/$name.XPL"; fi
    disc "$name" "$xpl"
    measure "playlist $name" "$cli" playlist -q "$xpl" --source "$scratch/disc-$name/HVDVD_TS/FEATURE_1.EVO"
    rm -rf "$scratch/mkv-$name"
    measure "mkv $name" "$cli" mkv -q -o "$scratch/mkv-$name" "$scratch/disc-$name/HVDVD_TS/FEATURE_1.EVO"
    rm -rf "$scratch/mkv-$name" "$scratch/disc-$name"
done
rm -f "$scratch/time.txt" "$scratch/out.txt" "$scratch/err.txt" "$scratch/muxer.kb" \
    "$scratch/caller.kb"
exit "$failed"
