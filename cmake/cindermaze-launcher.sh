#!/bin/sh
# Starts Cindermaze, or its map editor when called cindermaze-edit, from a directory of the
# player's own, where the installed data is linked and save/ keeps the settings: the game
# reads and writes relative to its working directory, and nothing is ever written under
# the installation. maps/ and thbs/ are real directories there, holding the player's own
# maps beside links to the shipped ones.
set -e
here=$(dirname "$(readlink -f "$0")")
game=$(readlink -f "$here/../lib/cindermaze")
program=cindermaze
[ "$(basename "$0")" = cindermaze-edit ] && program=cindermaze-edit
if [ ! -x "$game/$program" ]; then
    echo "$program: the game is not installed in $game" >&2
    exit 1
fi
home="${CINDERMAZE_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/cindermaze}"
mkdir -p "$home/save"
# A file or directory the player put there (own maps, say) stays; old links are renewed.
link() {
    if [ -L "$2" ] || [ ! -e "$2" ]; then
        ln -sfn "$1" "$2"
    fi
}
for entry in "$game"/*; do
    name=$(basename "$entry")
    case "$name" in
    cindermaze | cindermaze-edit) continue ;;
    maps | thbs)
        # Once a link to the installed directory: it becomes the player's own.
        [ -L "$home/$name" ] && rm "$home/$name"
        mkdir -p "$home/$name"
        # Links to maps no longer shipped go; the player's own files stay.
        for file in "$home/$name"/*; do
            if [ -L "$file" ] && [ ! -e "$file" ]; then rm "$file"; fi
        done
        for file in "$entry"/*; do
            link "$file" "$home/$name/$(basename "$file")"
        done
        ;;
    *) link "$entry" "$home/$name" ;;
    esac
done
cd "$home"
exec "$game/$program" "$@"
