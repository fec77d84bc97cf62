#!/bin/bash
# The program under Valgrind's memcheck on a private X server. Short form (per commit):
# start, the menu, quit. "session" (soak): the options dialog left without saving, the
# chooser, a game with a bomb left with the quit key, the menu, quit. Passes when memcheck
# finds no invalid access, no undefined value and no leak of the game's own (the
# libraries' are suppressed by tests/valgrind/allegro.supp). Args: build dir, source dir,
# [session]. Every step waits for what the screen shows, with a timeout.
set -u
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd) mode=${3:-short}
if grep -q '^CINDERMAZE_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    echo "skipped in a sanitizer build"; exit 0
fi
work=$(mktemp -d /tmp/cindermaze-valgrind-XXXXXX)
finish() { kill -9 ${game_pid:-} 2>/dev/null; kill ${xvfb_pid:-} 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap finish EXIT
# Links to the built data; the program copied (Allegro reads allegro.cfg beside it).
cp -as "$build/run/." "$work/" && rm -rf "$work/save" "$work/allegro.cfg" "$work/cindermaze" &&
    mkdir "$work/save" && cp "$build/run/cindermaze" "$work/"
sed 's/^\[sound\]$/[sound]\nalsa_device = null/' "$build/run/allegro.cfg" > "$work/allegro.cfg"
# Sound and music on, windowed, 800 x 600, a two-minute game.
printf '\002\0\0\0\0\0\0\0\226\0\0\0\310\0\0\0\040\003\0\0\130\002\0\0\170\0\0\0\124\0\0\0\125\0\0\0\122\0\0\0\123\0\0\0\113\0\0\0\073\0\0\0\020\0\0\0' > "$work/save/config.czc"
cp "$work/save/config.czc" "$work/settings.before"
exec 9< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -r -nolisten tcp 2>/dev/null & echo $! > "$work/xvfb.pid"; wait)
read -r -t 10 number <&9 || { echo "no X server"; exit 1; }
export DISPLAY=:$number XMESSAGE_LOG=$work/messages.log PATH=$source/tests/support/stubs:$PATH
xvfb_pid=$(cat "$work/xvfb.pid")

# The colour of a pixel of the screen, of the menu's background at its place.
pixel() { import -window root -depth 8 -crop "1x1+$1+$2" txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}'; }
background=$(convert "$work/graphics/fond.bmp" -crop 1x1+700+150 txt:- | grep -o '#[0-9A-F]\{6\}')
# Waits up to 120 s (everything is slow under Valgrind) until "$@" holds.
until_shown() {
    for _ in $(seq 240); do kill -0 "$game_pid" 2>/dev/null || return 1; "$@" && return 0; sleep 0.5; done
    return 1
}
# The newest window of a size ("800x600"): true when there is one, its place in wx, wy.
window() {
    local best=0 line id pos
    wx=
    while read -r line; do
        [[ $line == *" $1+"* ]] || continue
        id=$((${line%% *})) pos=${line##* +}
        if ((id > best)); then best=$id wx=${pos%+*} wy=${pos#*+}; fi
    done < <(xwininfo -root -tree)
    [ -n "$wx" ]
}
wx= wy=
menu_up() { window 800x600 && [ "$(pixel $((wx + 700)) $((wy + 150)))" = "$background" ]; }
menu_gone() { ! menu_up; }
# A key held until what it does shows.
# A key held until what it does shows, let go and pressed anew every 3 s (for 2 min).
hold() {
    for _ in $(seq 40); do
        xdotool keydown "$1"
        for _ in 1 2 3 4 5 6; do kill -0 "$game_pid" 2>/dev/null || break 2; "${@:2}" && break 2; sleep 0.5; done
        xdotool keyup "$1"
    done
    xdotool keyup "$1"
    "${@:2}"
}

cd "$work"
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --track-origins=yes --num-callers=30 \
    --suppressions="$source/tests/valgrind/allegro.supp" --error-exitcode=99 \
    --log-file="$work/memcheck.log" ./cindermaze &
game_pid=$!
seen=""
until_shown menu_up && seen="$seen menu"
if [ "$mode" = session ]; then
    # A button is lit when a pixel inside it differs from the menu as first shown; the
    # chooser shows the background where the buttons were.
    at() { pixel $((wx + $1)) $((wy + $2)); }
    lit() { [ "$(at 150 "$1")" != "$2" ]; }
    quit_off=$(at 150 530) options_off=$(at 150 420)
    chooser_up() { menu_up && [ "$(at 150 300)" = "$behind_play" ]; }
    behind_play=$(convert "$work/graphics/fond.bmp" -crop 1x1+150+300 txt:- | grep -o '#[0-9A-F]\{6\}')
    hold Up lit 530 "$quit_off" && hold Up lit 420 "$options_off" && hold Return window 640x480 &&
        seen="$seen options"
    # The dialog's own Escape leaves it without saving.
    hold Escape menu_up && seen="$seen menu"
    play_off=$(at 150 300)
    hold Down lit 300 "$play_off" && hold Return chooser_up && seen="$seen chooser"
    hold Return menu_gone && seen="$seen game"
    # A bomb at the player's feet: it goes off, the game is lost, the menu comes back.
    hold space menu_up && seen="$seen menu"
fi
# Escape until the program ends: a key already down when the menu starts counts there
# only once let go, so it is pressed anew every 3 s.
for _ in $(seq 40); do
    xdotool keydown Escape
    for _ in 1 2 3 4 5 6; do kill -0 "$game_pid" 2>/dev/null && sleep 0.5; done
    xdotool keyup Escape
    kill -0 "$game_pid" 2>/dev/null || break
done
wait "$game_pid"
status=$?
game_pid=
echo "valgrind ($mode): exit status $status, screens seen:$seen"
grep -E 'ERROR SUMMARY|definitely lost|indirectly lost' memcheck.log | sed 's/^==[0-9]*== *//'
fail=0
[ "$status" -eq 0 ] || { grep -v '^==[0-9]*== *$' memcheck.log | head -200; fail=1; }
case "$mode:$seen" in short:*menu*|session:*options*game*) ;; *) echo "the walk stopped early"; fail=1 ;; esac
cmp -s save/config.czc settings.before || { echo "the settings file changed"; fail=1; }
[ -s messages.log ] && { echo "messages shown:"; cat messages.log; fail=1; }
exit $fail
