#!/bin/bash
# The Windows package played under Wine: the zip is unpacked into a temporary directory and
# the real cindermaze.exe runs in Wine's virtual desktop (1024 x 768) on a private Xvfb,
# driven with xdotool. Every step waits, with a time-out, for what the game shows: the
# settings file, pictures of the run directory on the screen, the end of the process.
#   tests/windows/wine_test.sh build-win/cindermaze-VERSION-win64.zip
# A failed check leaves its screenshot as /tmp/cindermaze-wine-failed-N.png.
set -u
zip=$(readlink -f "$1")
work=$(mktemp -d /tmp/cindermaze-wine-XXXXXX)
passed=0
failed=0
xvfb_pid=
game_pid=

finish() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    WINEPREFIX=$work/prefix wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT

check() { # NAME COMMAND...: one result line per check
    local name=$1
    shift
    if "$@"; then
        echo "ok      $name"
        passed=$((passed + 1))
    else
        echo "FAILED  $name"
        failed=$((failed + 1))
        cp "$work/shot.png" "/tmp/cindermaze-wine-failed-$passed.png" 2>/dev/null
    fi
}

wait_until() { # SECONDS COMMAND...: tries COMMAND until it holds, while the game runs
    local end=$((SECONDS + $1))
    shift
    while [ $SECONDS -le $end ]; do
        "$@" && return 0
        [ -n "$game_pid" ] && ! kill -0 "$game_pid" 2>/dev/null && return 1
        sleep 0.2
    done
    return 1
}

key() { # a press the game's polling cannot miss
    xdotool keydown "$1"
    sleep 0.1
    xdotool keyup "$1"
    sleep 0.1
}

# Pixels of PICTURE (its part W x H at SX, SY) that differ on the screen at X, Y.
differing() { # PICTURE X Y [W H SX SY]
    local size
    size=$(identify -format '%wx%h' "$1")
    local w=${4:-${size%x*}} h=${5:-${size#*x}}
    convert "$work/shot.png" -crop "${w}x$h+$2+$3" +repage "$work/screen.png"
    convert "$1" -crop "${w}x$h+${6:-0}+${7:-0}" +repage "$work/picture.png"
    compare -metric AE -fuzz 3% "$work/screen.png" "$work/picture.png" null: 2>&1
}
shows() { # PICTURE X Y [W H SX SY]: at most 1% of its pixels differ (the pointer may be there)
    import -window root "$work/shot.png" 2>/dev/null || return 1
    local size
    size=$(identify -format '%w %h' "$1")
    local area=$((${4:-${size% *}} * ${5:-${size#* }}))
    [ "$(differing "$@")" -le $((area / 100)) ] 2>/dev/null
}
menu_shown() { shows graphics/fond.bmp 0 0 800 250; }
highlighted() { shows "graphics/b$1_on.bmp" "$2" "$3"; }
# Up until button N (at X, Y) is lit: the menu may not read the keys yet when it shows.
choose() { # N X Y
    local _
    for _ in 1 2 3 4 5 6 7 8; do
        key Up
        wait_until 1 highlighted "$@" && return 0
    done
    return 1
}

# ------------------------------------------------------------------ Wine and X
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
wait_until 10 test -s "$work/display" || { echo "FAILED  Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -1 "$work/display")
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's sound goes to ALSA's null device, so the game's sound set-up runs on machines
# without a sound card instead of falling back to silence.
export HOME=$work
echo 'pcm.!default { type null }' >"$HOME/.asoundrc"
wineboot -i >/dev/null 2>&1
# Wine's virtual desktop, the one `wine explorer /desktop=cindermaze,1024x768 cindermaze.exe`
# opens, is chosen in the prefix instead, so that `wine` gives back the game's exit status
# (explorer's own is always 0).
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d cindermaze /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v cindermaze /d 1024x768 /f >/dev/null 2>&1
cd "$work" && unzip -q "$zip" && cd cindermaze-*-win64 || exit 1
windows_dlls='^(kernel32|user32|gdi32|comdlg32|ole32|dinput|ddraw|winmm|dsound|msvcrt|advapi32|shell32)\.dll$'
package_ready() { # an empty save/, and an exe that needs no DLL but Windows' own
    local dlls
    dlls=$(x86_64-w64-mingw32-objdump -p cindermaze.exe | sed -n 's/^\s*DLL Name: //p')
    [ -d save ] && [ -z "$(ls save)" ] && [ -n "$dlls" ] && ! grep -viE "$windows_dlls" <<<"$dlls"
}
check "the package holds an empty save/ and an exe needing only Windows' DLLs" package_ready

wine cindermaze.exe >"$work/wine.log" 2>&1 &
game_pid=$!

# ------------------------------------------------------------------ first start
# As on Linux: full screen, double buffering, no vsync, volumes 150 and 200, 800 x 600,
# 90 seconds, then the keys up, down, left, right, space, Escape and P.
default_settings=$(echo 01000000 00 00 0000 96000000 c8000000 20030000 58020000 5a000000 \
    54000000 55000000 52000000 53000000 4b000000 3b000000 10000000 | tr -d ' ')
settings() { od -An -tx1 -v save/config.czc 2>/dev/null | tr -d ' \n'; }
first_settings() { [ "$(settings)" = "$default_settings" ]; }
check "the first start writes the 56 default bytes" wait_until 60 first_settings
check "the menu shows its background" wait_until 30 menu_shown
xdotool mousemove 1000 750

# ------------------------------------------------------------------ the map chooser
thumbnail_shown() { # sets `shown` to the map whose thumbnail is in the middle of the screen
    local thumb size
    import -window root "$work/shot.png" 2>/dev/null || return 1
    for thumb in thbs/*.bmp; do
        size=$(identify -format '%w %h' "$thumb")
        set -- $size
        if [ "$(differing "$thumb" $(((800 - $1) / 2)) $(((600 - $2) / 2)))" -le $(($1 * $2 / 100)) ] \
            2>/dev/null; then
            shown=$(basename "$thumb" .bmp)
            return 0
        fi
    done
    return 1
}
another_thumbnail() { local before=$shown; thumbnail_shown && [ "$shown" != "$before" ]; }
choose 0 137 277
key Return
shipped=$(ls maps/*.czm | xargs -n1 basename | sed 's/\.czm$//' | sort | tr '\n' ' ')
seen=
shown=
wait_until 15 thumbnail_shown && seen=$shown
# Left steps through the list; a press the chooser missed (while a sound plays) is pressed again.
for _ in $(seq 30); do
    [ "$(printf '%s\n' $seen | sort -u | tr '\n' ' ')" = "$shipped" ] && break
    key Left
    wait_until 3 another_thumbnail && seen+=" $shown"
done
check "the chooser lists the shipped maps" \
    test "$(printf '%s\n' $seen | sort -u | tr '\n' ' ')" = "$shipped"

# ------------------------------------------------------------------ a game on 01-cendres
cendres_shown() { key Left; thumbnail_shown && [ "$shown" = 01-cendres ]; }
wait_until 30 cendres_shown
read -r rows columns < <(od -An -tu1 -N2 maps/01-cendres.czm)
field_x=$(((800 - 32 * columns) / 2))
# The wall tile at the field's top-left corner (the field is centred, or sits on the
# bottom edge when the head-up display needs the room above it).
field_shown() {
    shows maps/01-cendres.bmp $field_x $(((600 - 32 * rows) / 2)) 32 32 32 0 ||
        shows maps/01-cendres.bmp $field_x $((600 - 32 * rows)) 32 32 32 0
}
key Return
check "a game starts and shows the field" wait_until 20 field_shown
key Escape
check "the quit key ends the game and the menu comes back" wait_until 20 menu_shown

# ------------------------------------------------------------------ the options dialog, saved twice
# The dialog is light grey all over; a black screen is the fault once seen here.
dialog_shown() {
    import -window root "$work/shot.png" 2>/dev/null &&
        [ "$(convert "$work/shot.png" -crop 640x480+0+0 -format '%[fx:int(100*mean)]' info:)" -ge 60 ]
}
# "&Sauvegarder et Quitter" by its key: under Wine the full-screen mouse is DirectInput's
# relative one, so the X pointer's place is not the game's.
save_and_quit() {
    key s
    wait_until 10 menu_shown
}
saved_once_more() {
    local before
    before=$(stat -c %i save/config.czc)
    choose 2 138 400 || { echo "        (no Options button lit)"; return 1; }
    key Return
    wait_until 20 dialog_shown || { echo "        (no dialog)"; return 1; }
    save_and_quit || { echo "        (no menu after the save)"; return 1; }
    # A new file took the old one's place, with the same settings, and nothing was left over.
    [ "$(stat -c %i save/config.czc)" != "$before" ] && first_settings &&
        [ "$(ls save)" = config.czc ] || { echo "        (saved: $(settings); $(ls save))"; return 1; }
}
check "the options dialog shows and saves" saved_once_more
check "the options dialog saves over the settings it wrote" saved_once_more

# ------------------------------------------------------------------ quitting
key Escape
status=
ended() { ! kill -0 "$game_pid" 2>/dev/null; }
if wait_until 20 ended; then
    wait "$game_pid"
    status=$?
fi
game_pid=
check "Escape in the menu quits with status 0" test "$status" = 0

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
