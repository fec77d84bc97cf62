#!/bin/bash
# The map tool from the command line, on the shipped maps and on broken ones, and a look
# at the repository: generated data is made by the build, never committed.
# Arguments: the build directory and the source directory.
set -u
build=$1
source=$2
tool=$build/tools/czmtool
run=$build/run
work=$(mktemp -d /tmp/cindermaze-maptool-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ -x "$tool" ] || { echo "FAIL: $tool is missing"; exit 1; }

# Every shipped map: text -> .czm gives the file the build put in run/, and
# .czm -> text gives the source back without its comments.
while read -r name theme screen; do
    case "$name" in ''|'#'*) continue ;; esac
    src=$source/assets/maps/$name.txt
    "$tool" compile "$src" "$work/$name.czm" || fail "$name does not compile"
    cmp -s "$work/$name.czm" "$run/maps/$name.czm" || fail "$name.czm differs from the build's"
    "$tool" decompile "$work/$name.czm" "$work/$name.txt" || fail "$name does not decompile"
    grep -v '^;' "$src" | diff -q - "$work/$name.txt" >/dev/null || fail "$name does not round-trip"
    "$tool" check --screen "$screen" "$work/$name.czm" >/dev/null || fail "$name fails its check"
done < "$source/assets/maps/maps.list"

# A broken map stops `build`: non-zero status, the cell named, no file written.
printf '#####\n#P.D#\n#.M.#\n##.##\n' > "$work/open.txt"
if "$tool" build "$work/open.txt" "$work/open.czm" 2> "$work/open.err"; then
    fail "an open border was accepted"
fi
grep -q 'cell (row 3, column 2): the border must be wall, it is floor' "$work/open.err" ||
    fail "the open border message does not name the cell: $(cat "$work/open.err")"
[ ! -e "$work/open.czm" ] || fail "build wrote a refused map"

# Usage errors exit with 2.
"$tool" frobnicate 2>/dev/null
[ $? -eq 2 ] || fail "an unknown command does not exit with 2"

# Generated data is never committed.
if git -C "$source" rev-parse --git-dir >/dev/null 2>&1; then
    committed=$(git -C "$source" ls-files '*.bmp' '*.wav' '*.mid' '*.czm' '*.dat' 'bktype*' | grep -vE '^(docs|fuzz|tests)/' || true)
    [ -z "$committed" ] || fail "generated files are committed: $committed"
fi

[ $failures -eq 0 ] && echo "all map tool checks passed"
exit $((failures > 0))
