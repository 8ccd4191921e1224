#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its drawing,
# data/icons/hicolor/scalable/apps/tessary.svg, into data/icons/hicolor/NxN/apps/tessary.png.
# The PNGs are committed, so that building needs no SVG renderer; run this after changing the
# drawing. Needs rsvg-convert (apt-get install librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
icons=data/icons/hicolor
svg=$icons/scalable/apps/tessary.svg
if ! command -v rsvg-convert >/dev/null 2>&1; then
  echo "$0: rsvg-convert is missing: apt-get install librsvg2-bin" >&2
  exit 1
fi
for size in 16 32 48 64 128 256; do
  mkdir -p "$icons/${size}x${size}/apps"
  rsvg-convert --width "$size" --height "$size" --format png "$svg" \
    --output "$icons/${size}x${size}/apps/tessary.png"
done
ls -l "$icons"/*/apps/tessary.png
