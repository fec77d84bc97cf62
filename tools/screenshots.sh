#!/bin/bash
# Takes real screenshots of Cindermaze under a private Xvfb server, driving it with
# xdotool: the main menu, the map chooser, the key binding screen, a game, the options
# dialog, the win and lose screens, and the map editor (its new-map dialog, a map being
# drawn with the check marking a monster too near the start, and its map list). Writes
# docs/screenshots/*.png.
#
#   tools/screenshots.sh [BUILD_DIR] [OUTPUT_DIR]
#
# BUILD_DIR defaults to build/ (it must have been built: the program and its data are in
# BUILD_DIR/run); OUTPUT_DIR defaults to docs/screenshots/. Needs Xvfb, xdotool and
# ImageMagick (tools/install-deps.sh installs them).
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
out=${2:-$source_dir/docs/screenshots}
run=$build/run
[ -x "$run/cindermaze" ] && [ -x "$run/cindermaze-edit" ] || { echo "No programs in $run: build first." >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)

work=$(mktemp -d /tmp/cindermaze-screenshots-XXXXXX)
xvfb_pid=
game_pid=
stop_game() {
    if [ -n "$game_pid" ]; then
        kill "$game_pid" 2>/dev/null || true
        wait "$game_pid" 2>/dev/null || true
    fi
    game_pid=
}
stop_x() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    xvfb_pid=
}
cleanup() {
    stop_game
    stop_x
    rm -rf "$work"
}
trap cleanup EXIT

# A private X server of the given size, without auto-repeat (a key held a little long on a
# loaded machine stays one press); the game's full-screen modes fill it exactly.
start_x() {
    exec {xfd}< <(Xvfb -displayfd 1 -screen 0 "${1}x${2}x24" -r -nolisten tcp 2>/dev/null &
        echo "pid $!")
    local word display
    read -r -u "$xfd" word xvfb_pid
    read -r -t 10 -u "$xfd" display || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=:$display
}

le32() {
    printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) \
        $((($1 >> 16) & 255)) $((($1 >> 24) & 255))
}

# A copy of the run directory with the given game length in seconds, the given music
# and effects volumes (0 by default: no pauses for the menus' sounds), the default keys.
# Sound goes to ALSA's null device, so that the volumes hold on machines without sound.
fresh_copy() {
    rm -rf "$work/game"
    cp -a "$run/." "$work/game/"
    rm -f "$work/game/save/config.czc"
    local record
    record="$(le32 1)\\x00\\x00\\x00\\x00$(le32 "${2:-0}")$(le32 "${3:-0}")$(le32 800)$(le32 600)"
    record+="$(le32 "$1")"
    record+="$(le32 84)$(le32 85)$(le32 82)$(le32 83)$(le32 75)$(le32 59)$(le32 16)"
    printf "$record" > "$work/game/save/config.czc"
    sed -i 's/^\[sound\]$/[sound]\nalsa_device = null/' "$work/game/allegro.cfg"
}

# Keeps only the given maps in the copy.
only_maps() {
    local keep=" $* " f name
    for f in "$work"/game/maps/*.czm; do
        name=$(basename "$f" .czm)
        [[ "$keep" == *" $name "* ]] || rm -f "$f"
    done
}

launch() {
    (cd "$work/game" && exec "./${1:-cindermaze}" >/dev/null 2>&1) &
    game_pid=$!
    sleep 2
}

key() {
    xdotool keydown "$1"
    sleep 0.08
    xdotool keyup "$1"
    sleep 0.3
}

shot() {
    import -window root -depth 8 "$out/$1.png"
    echo "wrote $out/$1.png"
}

# The menu with "Jouer" lit, the chooser, the key binding screen, then a game with a
# bomb just laid.
start_x 800 600
fresh_copy 90
# The chooser's second map with a record: the game its winning route plays.
"$build/tools/czmtool" route --win --record "$work/game/save/records.czr" \
    "$source_dir/assets/maps/02-la-porte.route" >/dev/null
launch
key Down
shot menu
key Return
sleep 0.5
key Left
sleep 0.3
shot chooser
key Escape
sleep 0.5
key Down
key Down
key Return
sleep 0.5
shot keys
stop_game

fresh_copy 90
only_maps 12-forge
launch
key Down
key Return
key Return
sleep 1.5
key space
sleep 0.5
shot game
stop_game

# The win: a tiny map whose only diamond lies next to the player.
fresh_copy 90
only_maps
printf '\x03\x05\x00\x00\x00\x00\x00\x00\x07\x0c\xff\x00\x00\x00\x00\x00\x00' \
    > "$work/game/maps/victoire.czm"
cp "$work/game/maps/08-cendres.bmp" "$work/game/maps/victoire.bmp"
launch
key Down
key Return
key Return
sleep 1
xdotool keydown Right
sleep 0.6
xdotool keyup Right
sleep 1
shot win
stop_game

# The loss: a game of two seconds.
fresh_copy 2
only_maps 09-ruines
launch
key Down
key Return
key Return
sleep 4
shot lose
stop_game
stop_x

# The options dialog comes up in 640 x 480.
start_x 640 480
fresh_copy 90 150 200
launch
key Up
key Up
key Return
sleep 2
shot options
stop_game
stop_x

# The map editor: the new-map dialog, then an 18 x 13 map drawn with the mouse.
start_x 800 600
fresh_copy 90
launch cindermaze-edit
# Cells of an 18 x 13 map: 32 pixels each, the map's corner at (12, 62).
cell() { echo $((12 + 32 * $2 + 16)) $((62 + 32 * $1 + 16)); }
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
sleep 0.3
shot editor
# The map list, once the drawing is let go.
xdotool key ctrl+o
sleep 0.5
key o
sleep 1
shot editor-list
stop_game
stop_x
