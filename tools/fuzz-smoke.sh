#!/usr/bin/env bash
# Runs every fuzz target of the fuzz build for SECONDS (default 30) on a copy of its seed corpus
# in a temporary folder, so that the tree stays clean. Prints each target's executions; fails
# when a target crashes (its input is left in the temporary folder, named in the output).
# Usage: tools/fuzz-smoke.sh [SECONDS]   (after cmake --preset fuzz && cmake --build --preset fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
build=build/fuzz/tests
work="$(mktemp -d -t tessary-fuzz.XXXXXX)"

failed=()
for corpus in tests/fuzz/corpus/*/; do
  target="$(basename "$corpus")"
  if [[ ! -x "$build/$target" ]]; then
    echo "fuzz-smoke: $build/$target is missing; build the fuzz preset first" >&2
    exit 2
  fi
  mkdir -p "$work/$target/corpus"
  cp -r "$corpus." "$work/$target/corpus/"
  log="$work/$target/log"
  if "$build/$target" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="$work/$target/" "$work/$target/corpus" >"$log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    printf '%-20s %12s executions in %ss\n' "$target" "${runs:-?}" "$seconds"
  else
    printf '%-20s CRASHED\n' "$target"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*Test unit written to)' "$log" || tail -n 20 "$log"
    failed+=("$target")
  fi
done

if ((${#failed[@]})); then
  echo "fuzz-smoke: crashes in ${failed[*]}; inputs and logs kept in $work" >&2
  exit 1
fi
rm -rf "$work"
