#!/usr/bin/env bash
# Set-up and the whole test suite in one: install what is missing, build, run every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh
QT_QPA_PLATFORM=offscreen ctest --preset dev -j"$(nproc)"
