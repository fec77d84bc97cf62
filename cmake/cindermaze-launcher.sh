#!/bin/sh
# Starts Cindermaze from a directory of the player's own, where the installed data is
# linked and save/ keeps the settings: the game reads and writes relative to its
# working directory, and nothing is ever written under the installation.
set -e
here=$(dirname "$(readlink -f "$0")")
game=$(readlink -f "$here/../lib/cindermaze")
if [ ! -x "$game/cindermaze" ]; then
    echo "cindermaze: the game is not installed in $game" >&2
    exit 1
fi
home="${CINDERMAZE_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/cindermaze}"
mkdir -p "$home/save"
for entry in "$game"/*; do
    name=$(basename "$entry")
    [ "$name" = cindermaze ] && continue
    # A file or directory the player put there (own maps, say) stays; old links are renewed.
    if [ -L "$home/$name" ] || [ ! -e "$home/$name" ]; then
        ln -sfn "$entry" "$home/$name"
    fi
done
cd "$home"
exec "$game/cindermaze" "$@"
