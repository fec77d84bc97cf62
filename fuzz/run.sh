#!/bin/bash
# Runs every fuzz target for a while over its committed seed corpus; fails on the first
# finding. Usage: fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET [TARGET...]
# New inputs go to a scratch corpus, never into fuzz/corpus; a finding is kept in
# BUILD_DIR/fuzz/findings/ for the regression test it must become.
set -e
build=$(cd "$1" && pwd)
seconds=${2:-20}
shift 2 || true
source_dir=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(config maps maptext records)
findings="$build/fuzz/findings"
mkdir -p "$findings"
scratch=$(mktemp -d /tmp/cindermaze-fuzz-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
status=0
for target in "${targets[@]}"; do
    program="$build/fuzz/fuzz_$target"
    if [ ! -x "$program" ]; then
        echo "fuzz $target: no program $program" >&2
        status=1
        continue
    fi
    mkdir -p "$scratch/$target"
    options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=30 -rss_limit_mb=3072
             -artifact_prefix="$findings/$target-")
    [ -f "$source_dir/$target.options" ] && mapfile -t -O ${#options[@]} options < "$source_dir/$target.options"
    echo "fuzz $target: ${seconds}s"
    if ! nice -n 10 "$program" "${options[@]}" "$scratch/$target" "$source_dir/corpus/$target" \
        > "$scratch/$target.log" 2>&1; then
        tail -n 60 "$scratch/$target.log" >&2
        echo "fuzz $target: FINDING, kept in $findings" >&2
        status=1
        continue
    fi
    grep -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$scratch/$target.log" |
        sed "s/^/fuzz $target: /"
done
exit $status
