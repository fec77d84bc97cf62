#!/bin/bash
# Rewrites the golden files of the replays after an intended change of play, shows what
# changed, then checks the promises the scripts state: a rewritten course that breaks one
# fails here with the script's line. Usage: tests/golden/update.sh [build directory], by
# default build/.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$source_dir/build}" && pwd)"
cmake --build "$build" --target unit_tests -j2
CINDERMAZE_UPDATE_GOLDEN=1 "$build/tests/unit_tests" \
    --gtest_filter='replays/golden.replay_matches_its_golden_file/*'
git -C "$source_dir" status --short -- tests/golden
git -C "$source_dir" --no-pager diff --stat -- tests/golden
"$build/tests/unit_tests" --gtest_filter='promises/*' --gtest_brief=1
