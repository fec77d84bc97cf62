#!/bin/bash
# Installation: `cmake --install` into a fresh prefix or, with "deb", the Debian package
# installed with apt-get under /usr and purged at the end; then, as a fresh player, the
# launchers play from a per-user directory under a private X server: data linked there,
# settings in its save/, kept from one start to the next, nothing written under the prefix.
# Arguments: the build directory, the source directory, and "deb" for the package.
set -u
build=$1
source=$2
work=$(mktemp -d /tmp/cindermaze-install-XXXXXX)
xvfb_pid=
game_pid=
installed=
apt() { apt-get -qq -o DPkg::Lock::Timeout=300 "$@" >"$work/apt" 2>&1 || { cat "$work/apt"; false; }; }
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    [ -n "$installed" ] && apt remove --purge cindermaze
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

export HOME=$work/home
unset XDG_DATA_HOME CINDERMAZE_HOME
mkdir -p "$HOME"
user_dir=$HOME/.local/share/cindermaze

if [ "${3:-}" = deb ]; then
    prefix=/usr
    deb=$(ls "$build"/cindermaze_*_amd64.deb) || exit 1
    # The machine is left as found: a package already there is not ours to remove.
    dpkg -s cindermaze >/dev/null 2>&1 && { echo "FAIL: cindermaze is already installed"; exit 1; }
    installed=yes
    apt install "$(readlink -f "$deb")" || { echo "FAIL: apt-get install $deb"; exit 1; }
else
    prefix=$work/prefix
    # A text exported while trying the editor in the run directory (a name the other
    # tests' listing of the run directory passes over) is no data of the game's.
    touch "$build/run/cindermaze-essai.txt"
    cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
    rm -f "$build/run/cindermaze-essai.txt"
fi
programs=$prefix/lib/games/cindermaze
data=$prefix/share/games/cindermaze

# What the prefix holds.
[ -x "$prefix/games/cindermaze" ] && [ -x "$programs/cindermaze" ] || fail "no launcher or program"
ls "$data"/{bktype.dat,graphics/fond.bmp,sounds/MENU.mid,maps/*.czm} "$programs/allegro.cfg" >/dev/null ||
    fail "data missing"
[ -e "$data/save" ] && fail "a save directory is installed"
ls "$data" | grep -q essai && fail "a file left in the run directory is installed"
identify -format '%w' "$prefix/share/icons/hicolor/48x48/apps/cindermaze.png" | grep -qx 48 || fail "no icon"
grep -qx "Exec=$prefix/games/cindermaze --safemode" "$prefix/share/applications/cindermaze.desktop" ||
    fail "no desktop entry with its safe mode action"
[ -x "$programs/cindermaze-edit" ] &&
    grep -qx "Exec=$prefix/games/cindermaze-edit" "$prefix/share/applications/cindermaze-edit.desktop" ||
    fail "no map editor or no desktop entry for it"
zcat "$prefix/share/man/man6/cindermaze-edit.6.gz" | grep -q '^\.TH CINDERMAZE-EDIT 6' || fail "no manual page"

# --help and --version answer without a display.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
for program in cindermaze cindermaze-edit; do
    DISPLAY= "$prefix/games/$program" --help >"$work/out" 2>&1 &&
        grep -q "^Usage : $program" "$work/out" && grep -q "Cindermaze lit ses données" "$work/out" ||
        fail "$program --help: $(cat "$work/out")"
    [ "$(DISPLAY= "$prefix/games/$program" --version 2>&1)" = "$program $version" ] || fail "$program --version"
done

# A private X server without auto-repeat, kept up between the programs (no reset when the
# last one leaves, which a start at that moment would meet), and the recording xmessage.
exec {xfd}< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -r -noreset -nolisten tcp 2>/dev/null & echo "pid $!")
read -r -u "$xfd" word xvfb_pid
read -r -t 10 -u "$xfd" display || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$display PATH=$source/tests/support/stubs:$PATH XMESSAGE_LOG=$work/messages

touch "$work/stamp"
# The top of the main menu's background is on the screen, at the game's window.
menu_shown() {
    local at
    at=$(xwininfo -root -tree | grep -o ' 800x600+[0-9]*+[0-9]*' | head -1 | cut -d+ -f2-)
    [ -n "$at" ] && import -window root -crop "800x250+$at" +repage "$work/shot.png" 2>/dev/null &&
        [ "$(compare -metric AE -fuzz 3% "$work/shot.png" "$data/graphics/fond.bmp[800x250+0+0]" null: 2>&1)" \
            -le 2000 ] 2>/dev/null
}
# Starts a launcher (cindermaze by default, with the program's arguments) from elsewhere;
# once its window is there (for the game, its menu), Escape is held until the program has ended.
play_and_quit() {
    launcher=${1:-cindermaze}
    [ $# -gt 0 ] && shift
    (cd / && exec "$prefix/games/$launcher" "$@" >"$work/out" 2>&1) &
    game_pid=$!
    for _ in $(seq 300); do
        kill -0 "$game_pid" 2>/dev/null || break
        if [ "$launcher" = cindermaze ]; then menu_shown && break; else
            xwininfo -root -tree | grep -q ' 800x600+' && break
        fi
        sleep 0.1
    done
    [ "$launcher" = cindermaze ] && ! menu_shown && fail "the menu did not show"
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
    [ "$status" -eq 0 ] || fail "$launcher ended with status $status: $(cat "$work/out" "$work/messages" 2>/dev/null)"
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
[ -z "$(find "$programs" "$data" -newer "$work/stamp" | head -5)" ] || fail "files written under the prefix"
[ -s "$work/messages" ] && fail "messages shown: $(cat "$work/messages")"

if [ -n "$installed" ]; then
    # Purged, the package leaves nothing under /usr; the player's directory stays.
    dpkg -L cindermaze >"$work/files"
    installed=
    apt remove --purge cindermaze || fail "apt-get remove --purge"
    while read -r file; do [ -d "$file" ] || [ ! -e "$file" ] || fail "$file left"; done <"$work/files"
    left=$(find /usr -path /usr/local -prune -o -name '*cindermaze*' -print | head -5)
    [ -z "$left" ] || fail "left under /usr: $left"
    [ -s "$user_dir/save/config.czc" ] || fail "the player's directory went with the package"
fi
[ "$failures" -eq 0 ] && echo "installation and launcher: all checks passed"
exit $((failures > 0))
