#!/bin/sh
# Fetches Allegro 4.4's upstream tarball from Debian's source archive (apt checks it against
# the signed index) and unpacks it. apt runs with a private configuration: the machine's own
# package sources, turned into source entries, and lists and caches under DOWNLOAD_DIR, so
# nothing of the system's apt set-up is changed.
#   fetch-allegro.sh DOWNLOAD_DIR SOURCE_DIR
set -e
download=$1
source=$2
tarball=allegro4.4_4.4.3.1.orig.tar.gz
mkdir -p "$download" "$source"
if [ ! -f "$download/$tarball" ]; then
    apt=$download/apt
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
    : > "$apt/sources.list"
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt/sources.list"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt/sources.list.d/${f##*/}"
    done
    set -- -qq -o Dir::Etc::SourceList="$apt/sources.list" \
        -o Dir::Etc::SourceParts="$apt/sources.list.d" -o Dir::State::Lists="$apt/lists" \
        -o Dir::Cache="$apt/cache" -o APT::Sandbox::User="$(id -un)"
    apt-get "$@" update
    # Only the upstream tarball: Debian's own packaging is not needed (nor always served).
    (cd "$download" && apt-get "$@" source --download-only --tar-only allegro4.4)
    if [ ! -f "$download/$tarball" ]; then
        echo "fetch-allegro.sh: apt gave no $tarball (Allegro's version changed?)" >&2
        exit 1
    fi
fi
tar xzf "$download/$tarball" -C "$source" --strip-components=1
