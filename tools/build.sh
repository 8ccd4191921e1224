#!/usr/bin/env bash
# Configures and builds Tessary in build/dev (warnings are errors there).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)"
