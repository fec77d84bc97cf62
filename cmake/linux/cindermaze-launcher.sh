#!/bin/sh
# Starts Cindermaze, or its map editor when called cindermaze-edit, from a directory of the
# player's own, where the installed data is linked and save/ keeps the settings: the game
# reads and writes relative to its working directory, and nothing is ever written under
# the installation. maps/ and thbs/ are real directories there, holding the player's own
# maps beside links to the shipped ones. Installed as PREFIX/games/cindermaze(-edit), with
# the programs in PREFIX/lib/games/cindermaze and the data in PREFIX/share/games/cindermaze.
set -e
here=$(dirname "$(readlink -f "$0")")
programs=$(readlink -f "$here/../lib/games/cindermaze")
data=$(readlink -f "$here/../share/games/cindermaze")
program=cindermaze
[ "$(basename "$0")" = cindermaze-edit ] && program=cindermaze-edit
if [ ! -x "$programs/$program" ] || [ ! -d "$data" ]; then
    echo "$program: the game is not installed in $programs and $data" >&2
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
# Links to what is no longer installed go (an older layout, maps no longer shipped); the
# player's own files stay.
drop_dangling_links() {
    for file in "$1"/*; do
        if [ -L "$file" ] && [ ! -e "$file" ]; then rm "$file"; fi
    done
}
drop_dangling_links "$home"
for entry in "$data"/*; do
    name=$(basename "$entry")
    case "$name" in
    maps | thbs)
        # Once a link to the installed directory: it becomes the player's own.
        [ -L "$home/$name" ] && rm "$home/$name"
        mkdir -p "$home/$name"
        drop_dangling_links "$home/$name"
        for file in "$entry"/*; do
            link "$file" "$home/$name/$(basename "$file")"
        done
        ;;
    *) link "$entry" "$home/$name" ;;
    esac
done
# A replay file named from where the player stands stays that file once in the directory.
if [ "${1:-}" = --replay ] && [ -n "${2:-}" ]; then
    replay=$(readlink -m -- "$2")
    shift 2
    set -- --replay "$replay" "$@"
fi
cd "$home"
exec "$programs/$program" "$@"
