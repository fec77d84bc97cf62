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
[ -x "$prefix/bin/cindermaze" ] && [ -x "$prefix/lib/cindermaze/cindermaze" ] || fail "no launcher or program"
ls "$prefix"/lib/cindermaze/{bktype.dat,graphics/fond.bmp,sounds/MENU.mid,maps/*.czm} >/dev/null || fail "data missing"
[ -e "$prefix/lib/cindermaze/save" ] && fail "a save directory is installed"
identify -format '%w' "$prefix/share/icons/hicolor/48x48/apps/cindermaze.png" | grep -qx 48 || fail "no icon"
grep -qx "Exec=$prefix/bin/cindermaze --safemode" "$prefix/share/applications/cindermaze.desktop" ||
    fail "no desktop entry with its safe mode action"
[ -x "$prefix/lib/cindermaze/cindermaze-edit" ] &&
    grep -qx "Exec=$prefix/bin/cindermaze-edit" "$prefix/share/applications/cindermaze-edit.desktop" ||
    fail "no map editor or no desktop entry for it"

# A private X server without auto-repeat, and the recording xmessage.
exec {xfd}< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -r -nolisten tcp 2>/dev/null & echo "pid $!")
read -r -u "$xfd" word xvfb_pid
read -r -t 10 -u "$xfd" display || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$display PATH=$source/tests/support/stubs:$PATH XMESSAGE_LOG=$work/messages

touch "$work/stamp"
# Starts a launcher (cindermaze by default, with the program's arguments) from elsewhere;
# once its window is there, Escape is held until the program has ended.
play_and_quit() {
    launcher=${1:-cindermaze}
    [ $# -gt 0 ] && shift
    (cd / && exec "$prefix/bin/$launcher" "$@" >"$work/out" 2>&1) &
    game_pid=$!
    for _ in $(seq 150); do xwininfo -root -tree | grep -q ' 800x600+' && break; sleep 0.1; done
    # A key already down when the menu starts counts only once let go: pressed anew each 3 s.
    for _ in 1 2 3 4 5; do
        xdotool keydown Escape
        for _ in $(seq 30); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
        xdotool keyup Escape
        kill -0 "$game_pid" 2>/dev/null || break
    done
    kill -0 "$game_pid" 2>/dev/null && { fail "the game did not quit"; kill "$game_pid"; }
    wait "$game_pid"
    status=$? game_pid=
    [ "$status" -eq 0 ] || fail "the game ended with status $status: $(cat "$work/messages" 2>/dev/null)"
}

play_and_quit
[ -d "$user_dir/save" ] && [ ! -L "$user_dir/save" ] || fail "no save directory of the player's own"
# The first start writes the default settings (bytes 6 and 7 are the record's padding).
bytes=$(od -An -tx1 -v "$user_dir/save/config.czc" 2>/dev/null | tr -d ' \n')
[ "${bytes:0:12}${bytes:16}" = 01000000000096000000c800000020030000580200005a000000540000005500000052000000530000004b0000003b00000010000000 ] ||
    fail "the first start wrote $bytes, not the default settings"
[ -L "$user_dir/graphics" ] && [ -L "$user_dir/maps.list" ] && [ ! -e "$user_dir/cindermaze" ] ||
    fail "the data is not linked, or the program is"
# The player's maps go into real directories, beside links to the shipped ones.
[ -d "$user_dir/maps" ] && [ ! -L "$user_dir/maps" ] && [ -L "$user_dir/thbs/01-premiers-pas.bmp" ] ||
    fail "maps/ and thbs/ are not the player's own with links to the shipped maps"
play_and_quit cindermaze-edit 01-premiers-pas
# The settings persist: a time limit written into the file is still there after a start.
printf '\x78\x00\x00\x00' | dd of="$user_dir/save/config.czc" bs=1 seek=24 conv=notrunc 2>/dev/null
play_and_quit
[ "$(od -An -tu4 -j24 -N4 "$user_dir/save/config.czc" | tr -d ' ')" = 120 ] || fail "the settings did not persist"
[ -z "$(find "$prefix" -newer "$work/stamp" | head -5)" ] || fail "files written under the prefix"
[ -s "$work/messages" ] && fail "messages shown: $(cat "$work/messages")"
[ "$failures" -eq 0 ] && echo "installation and launcher: all checks passed"
exit $((failures > 0))
