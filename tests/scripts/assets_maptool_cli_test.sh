#!/bin/bash
# The map tool from the command line: every shipped map compiles to the build's file and
# decompiles to its source without comments; a broken map stops `build` with its cell
# named and no file; generated data is never committed. Args: build dir, source dir.
set -u
build=$1 source=$2 tool=$1/tools/czmtool
work=$(mktemp -d /tmp/cindermaze-maptool-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
while read -r name _ screen; do
    case "$name" in '' | '#'*) continue ;; esac
    "$tool" compile "$source/assets/maps/$name.txt" "$work/$name.czm" &&
        cmp -s "$work/$name.czm" "$build/run/maps/$name.czm" || fail "$name does not compile to the build's file"
    "$tool" decompile "$work/$name.czm" "$work/$name.txt" &&
        grep -v '^;' "$source/assets/maps/$name.txt" | diff -q - "$work/$name.txt" >/dev/null || fail "$name does not round-trip"
done <"$source/assets/maps/maps.list"
printf '#####\n#P.D#\n#.M.#\n##.##\n' >"$work/open.txt"
"$tool" build "$work/open.txt" "$work/open.czm" 2>"$work/open.err" && fail "an open border was accepted"
grep -q 'cell (row 3, column 2): the border must be wall' "$work/open.err" && [ ! -e "$work/open.czm" ] ||
    fail "the refused map: $(cat "$work/open.err")"
"$tool" frobnicate 2>/dev/null
[ $? -eq 2 ] || fail "an unknown command does not exit with 2"
[ -z "$(git -C "$source" ls-files '*.bmp' '*.wav' '*.mid' '*.czm' '*.dat' | grep -vE '^(docs|fuzz|tests)/')" ] ||
    fail "generated files are committed"
[ $failures -eq 0 ] && echo "all map tool checks passed"
exit $((failures > 0))
