#!/usr/bin/env bash
# Writes the golden files of tests/golden/ anew from the tessary-cli of a build (default
# build/dev): builds tessary-cli and the command-line tests there, then runs the golden tests
# with TESSARY_UPDATE_GOLDEN=1, which write each normalised output instead of comparing it.
# Review what changed with git diff tests/golden.
# Usage: tools/update-golden.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/dev}"
cmake --build "$build" -j2 --target tests_cli
TESSARY_UPDATE_GOLDEN=1 "$build/tests/tests_cli" --gtest_filter='golden/*' --gtest_brief=1
git status --short tests/golden
