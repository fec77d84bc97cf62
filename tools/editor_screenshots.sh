#!/bin/bash
# Takes real screenshots of the map editor under a private Xvfb server, driving it with
# xdotool: the new-map dialog, and a map being drawn with the check marking a monster too
# near the start. Writes docs/screenshots/editor-new.png and editor.png.
#
#   tools/editor_screenshots.sh [BUILD_DIR] [OUTPUT_DIR]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
out=${2:-$source_dir/docs/screenshots}
run=$build/run
[ -x "$run/cindermaze-edit" ] || { echo "No editor in $run: build first." >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)

work=$(mktemp -d /tmp/cindermaze-editor-shots-XXXXXX)
xvfb_pid=
editor_pid=
cleanup() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

exec {xfd}< <(Xvfb -displayfd 1 -screen 0 800x600x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r -u "$xfd" word xvfb_pid
read -r -t 10 -u "$xfd" display || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display

cp -a "$run/." "$work/game/"
sed -i 's/^\[sound\]$/[sound]\nalsa_device = null/' "$work/game/allegro.cfg"
(cd "$work/game" && exec ./cindermaze-edit >/dev/null 2>&1) &
editor_pid=$!
sleep 2

key() {
    xdotool keydown "$1"
    sleep 0.08
    xdotool keyup "$1"
    sleep 0.1
}
shot() {
    sleep 0.3
    import -window root -depth 8 "$out/$1.png"
    echo "wrote $out/$1.png"
}
# Cells of an 18 x 13 map: 32 pixels each, the map's corner at (36, 76).
cell() { echo $((36 + 32 * $2 + 16)) $((76 + 32 * $1 + 16)); }
click() {
    xdotool mousemove $(cell "$1" "$2") click 1
    sleep 0.1
}
# A line dragged from one cell to another.
drag() {
    xdotool mousemove $(cell "$1" "$2") mousedown 1
    sleep 0.1
    xdotool mousemove $(cell "$3" "$4")
    sleep 0.1
    xdotool mouseup 1
    sleep 0.1
}

xdotool type --delay 60 "ma-forge"
key Down; key Left; key Left
key Down; key Left
key Down; key Right; key Right; key Right
shot editor-new
key Return
sleep 0.5

key 2
drag 3 2 3 8; drag 2 12 9 12; drag 8 4 8 11; drag 10 6 11 6
key 3
drag 5 2 5 10; drag 6 14 6 16
key 4
click 5 11; click 2 9
key 5
click 2 15; click 10 3; click 11 15; click 7 14
key 6
click 1 3; click 10 10
xdotool mousemove 700 560
shot editor
