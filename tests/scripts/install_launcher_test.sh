#!/bin/bash
# Installation: `cmake --install` into a fresh prefix, then the launcher plays from a
# per-user directory under a private X server: data linked there, settings in its save/,
# kept from one start to the next, nothing written under the prefix.
# Arguments: the build directory and the source directory.
set -u
build=$1
source=$2
work=$(mktemp -d /tmp/cindermaze-install-XXXXXX)
xvfb_pid=
game_pid=
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$work/prefix
export HOME=$work/home
unset XDG_DATA_HOME CINDERMAZE_HOME
mkdir -p "$HOME"
user_dir=$HOME/.local/share/cindermaze

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

# What the prefix holds.
[ -x "$prefix/bin/cindermaze" ] || fail "no launcher in bin/"
[ -x "$prefix/lib/cindermaze/cindermaze" ] || fail "no program in lib/cindermaze/"
for data in bktype.dat graphics/fond.bmp graphics/b0_on.bmp sounds/MENU.mid maps thbs music; do
    [ -e "$prefix/lib/cindermaze/$data" ] || fail "$data is not installed"
done
[ -e "$prefix/lib/cindermaze/save" ] && fail "a save directory is installed"
ls "$prefix"/lib/cindermaze/maps/*.czm >/dev/null 2>&1 || fail "no map is installed"
for size in 48 96 192; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/cindermaze.png
    [ -s "$icon" ] || fail "no $size icon"
    identify -format '%w %h' "$icon" 2>/dev/null | grep -qx "$size $size" || fail "the $size icon has the wrong size"
done
desktop=$prefix/share/applications/cindermaze.desktop
grep -qx "Exec=$prefix/bin/cindermaze" "$desktop" || fail "the desktop entry does not start the launcher"
grep -qx "Icon=cindermaze" "$desktop" || fail "the desktop entry has no icon"
grep -qx "Exec=$prefix/bin/cindermaze --safemode" "$desktop" || fail "no safe mode action"
[ -x "$prefix/lib/cindermaze/cindermaze-edit" ] || fail "no map editor in lib/cindermaze/"
grep -qx "Exec=$prefix/bin/cindermaze-edit" "$prefix/share/applications/cindermaze-edit.desktop" ||
    fail "no desktop entry starts the map editor"

# A private X server, and the recording xmessage.
exec {xfd}< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r -u "$xfd" word xvfb_pid
read -r -t 10 -u "$xfd" display || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$display
export PATH=$source/tests/support/stubs:$PATH
export XMESSAGE_LOG=$work/messages

touch "$work/stamp"
# Starts the launcher from elsewhere, waits for the game's window, quits with Escape.
# Arguments: the launcher's name (cindermaze by default) and the program's arguments.
play_and_quit() {
    launcher=${1:-cindermaze}
    [ $# -gt 0 ] && shift
    (cd / && exec "$prefix/bin/$launcher" "$@" >"$work/out" 2>&1) &
    game_pid=$!
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name '' 2>/dev/null | grep -q . &&
            [ "$(xdotool search --onlyvisible --name '' | wc -l)" -ge 3 ] && break
        sleep 0.1
    done
    sleep 1
    xdotool keydown Escape; sleep 0.1; xdotool keyup Escape
    for _ in $(seq 100); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$game_pid" 2>/dev/null; then
        fail "the game did not quit"
        kill "$game_pid"
    fi
    wait "$game_pid"
    status=$?
    game_pid=
    [ "$status" -eq 0 ] || fail "the game ended with status $status: $(cat "$work/messages" 2>/dev/null)"
}

play_and_quit
[ -d "$user_dir/save" ] && [ ! -L "$user_dir/save" ] || fail "no save directory of the player's own"
[ "$(stat -c %s "$user_dir/save/config.czc" 2>/dev/null)" = 56 ] || fail "no settings file written"
for data in bktype.dat graphics sounds maps.list; do
    [ -L "$user_dir/$data" ] || fail "$data is not linked into the player's directory"
done
[ -e "$user_dir/cindermaze" ] && fail "the program itself is linked into the player's directory"
# The player's maps go into real directories, beside links to the shipped ones.
for dir in maps thbs; do
    [ -d "$user_dir/$dir" ] && [ ! -L "$user_dir/$dir" ] || fail "$dir/ is not the player's own"
done
[ -L "$user_dir/maps/01-cendres.czm" ] && [ -L "$user_dir/thbs/01-cendres.bmp" ] ||
    fail "the shipped maps are not linked into maps/ and thbs/"
# The editor starts from its launcher on a shipped map and leaves with Escape.
play_and_quit cindermaze-edit 01-cendres

# The settings persist: a time limit written into the file is still there after a start.
printf '\x78\x00\x00\x00' | dd of="$user_dir/save/config.czc" bs=1 seek=24 conv=notrunc 2>/dev/null
play_and_quit
[ "$(od -An -tu4 -j24 -N4 "$user_dir/save/config.czc" | tr -d ' ')" = 120 ] ||
    fail "the settings did not persist"

written=$(find "$prefix" -newer "$work/stamp" | head -5)
[ -z "$written" ] || fail "files written under the prefix: $written"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installation and launcher: all checks passed"
