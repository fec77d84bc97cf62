#!/bin/bash
# A whole run of the program under Valgrind's memcheck, on a private X server: the menu,
# the options dialog left without saving, the map chooser, a game with bombs (one
# explodes), the menu again, quit. Passes when memcheck finds no invalid access, no use of an undefined
# value and no leak of the game's own (the libraries' allocations are suppressed by
# tests/valgrind/allegro.supp). Args: build dir, source dir.
set -u
build=$1
source=$2
run="$build/run"
if grep -q '^CINDERMAZE_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    echo "hardening_valgrind: skipped in a sanitizer build (the program is already checked there)"
    exit 0
fi
command -v valgrind >/dev/null || { echo "valgrind is missing"; exit 1; }
[ -x "$run/cindermaze" ] || { echo "no program in $run"; exit 1; }

work=$(mktemp -d /tmp/cindermaze-valgrind-XXXXXX)
xvfb_pid=
game_pid=
finish() {
    [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
cp -a "$run/." "$work/"
rm -f "$work/save/"*
# Sound goes to ALSA's null device, so that the sound code runs without a sound card.
sed -i 's/^\[sound\]$/[sound]\nalsa_device = null/' "$work/allegro.cfg"
# Sound on, music on, windowed, a 2-minute game (it ends with the quit key).
printf '\002\000\000\000\000\000\000\000\226\000\000\000\310\000\000\000\040\003\000\000\130\002\000\000\170\000\000\000\124\000\000\000\125\000\000\000\122\000\000\000\123\000\000\000\113\000\000\000\073\000\000\000\020\000\000\000' \
    > "$work/save/config.czc"
cp "$work/save/config.czc" "$work/settings.before"

display=
# The server picks a free display number and writes it once it accepts connections.
exec 9< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo $! > "$work/xvfb.pid"; wait)
read -r -t 10 number <&9 && display=":$number"
xvfb_pid=$(cat "$work/xvfb.pid" 2>/dev/null)
[ -n "$display" ] || { echo "no X server"; exit 1; }
export DISPLAY=$display
export XMESSAGE_LOG="$work/messages.log"
export PATH="$source/tests/support/stubs:$PATH"

key() { xdotool keydown "$1"; sleep 0.15; xdotool keyup "$1"; sleep "${2:-0.5}"; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; sleep 0.3; }
# Waits until the program has drawn a window of this size (it changes with the screens);
# its position on the X screen is then in wx, wy.
wx=0
wy=0
wait_window() {
    for _ in $(seq 120); do
        kill -0 "$game_pid" 2>/dev/null || return 1
        for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
            read -r x y size < <(xwininfo -id "$id" 2>/dev/null |
                awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w "x" h}')
            if [ "$size" = "$1" ]; then
                wx=$x
                wy=$y
                return 0
            fi
        done
        sleep 0.5
    done
    return 1
}

# A picture of the whole X screen; prints its checksum.
shot() { import -window root -depth 8 "$work/$1.png" >/dev/null 2>&1; md5sum < "$work/$1.png" | cut -c1-32; }
# The colour of one pixel of a picture.
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info: 2>/dev/null; }
# The menu (or the chooser, over the same background) is up: a pixel of the background
# shows at its place. Under Valgrind every screen takes its time: up to 30 s.
menu_colour=$(pixel "$work/graphics/fond.bmp" 700 150)
wait_background() {
    for _ in $(seq 30); do
        kill -0 "$game_pid" 2>/dev/null || return 1
        shot now >/dev/null
        [ "$(pixel "$work/now.png" $((wx + 700)) $((wy + 150)))" = "$menu_colour" ] && return 0
        sleep 1
    done
    return 1
}
# Waits until the screen is no longer the one of checksum $1.
wait_change() {
    for _ in $(seq 30); do
        kill -0 "$game_pid" 2>/dev/null || return 1
        [ "$(shot now)" != "$1" ] && { sleep 1; return 0; }
        sleep 1
    done
    return 1
}
reached=""

cd "$work"
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --track-origins=yes --num-callers=30 \
    --suppressions="$source/tests/valgrind/allegro.supp" --gen-suppressions=all \
    --error-exitcode=99 --log-file="$work/memcheck.log" ./cindermaze &
game_pid=$!
started=$(date +%s)
wait_window 800x600 || { echo "the menu never came"; cat "$work/memcheck.log"; exit 1; }
wait_background && reached="$reached menu"
sleep 3
# The options dialog, left without saving ("&Quitter", then "&Oui").
key Down 1; key Down 1; key Down 1; key Return 4
wait_window 640x480 && reached="$reached options" && sleep 15
xdotool mousemove $((wx + 82)) $((wy + 462)); sleep 2; xdotool click 1; sleep 6
key y 6
wait_window 800x600 && wait_background && reached="$reached menu"
sleep 3
# The menu again (nothing selected): play; the chooser: the first map.
key Down 3
menu_shot=$(shot menu)
key Return 1
wait_change "$menu_shot" && wait_background && reached="$reached chooser"
sleep 3
chooser_shot=$(shot chooser)
key Return 1
wait_change "$chooser_shot" && reached="$reached game"
sleep 15
# The game: a bomb, walk away from it, wait for the explosion, a second bomb, quit.
key space 0.2; hold Right 1.5; hold Down 1.5; sleep 12
key space 0.2; hold Left 1.5; sleep 6
key Escape 5
wait_window 800x600 && wait_background && reached="$reached menu"
sleep 3
# Quit from the menu.
key Escape 1
status=
for _ in $(seq 240); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
        wait "$game_pid"
        status=$?
        break
    fi
    sleep 0.5
done
game_pid_left=$game_pid
if [ -z "$status" ]; then
    echo "the program did not quit"
    game_pid=$game_pid_left
    tail -50 "$work/memcheck.log"
    exit 1
fi
game_pid=
seconds=$(( $(date +%s) - started ))
summary=$(grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable|suppressed:' "$work/memcheck.log" | sed 's/^==[0-9]*== *//')
echo "hardening_valgrind: ${seconds}s, exit status $status"
echo "$summary"
if [ -s "$XMESSAGE_LOG" ]; then
    echo "messages shown:"; cat "$XMESSAGE_LOG"
fi
fail=0
# The walk went through the options dialog and a game (seen as the screen changing after
# the chooser); the menu and the chooser are noted when seen in time.
echo "screens seen:$reached"
if [[ "$reached" != *options* || "$reached" != *game* ]]; then
    echo "the walk did not go through the options dialog and a game"
    fail=1
fi
if [ "$status" -ne 0 ]; then
    echo "memcheck found errors (or the program failed): status $status"
    grep -v '^==[0-9]*== *$' "$work/memcheck.log" | head -300
    fail=1
fi
if ! cmp -s "$work/save/config.czc" "$work/settings.before"; then
    echo "the settings file changed although nothing was saved"
    fail=1
fi
grep -q 'ERROR SUMMARY: 0 errors' "$work/memcheck.log" || fail=1
exit $fail
