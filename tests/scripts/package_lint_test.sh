#!/bin/bash
# The Debian package as Debian's own tools judge it: lintian finds neither error nor
# warning (docs/packaging.md lists the notes left), the AppStream metainfo and both desktop
# entries validate, and the dependencies hold the libraries the programs link and freepats.
# Arguments: the build directory (with the package made), the source directory.
set -u
deb=$(ls "$1"/cindermaze_*_amd64.deb) || exit 1
work=$(mktemp -d /tmp/cindermaze-lint-XXXXXX)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }
lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian"
dpkg-deb -x "$deb" "$work"
appstreamcli validate --no-net "$work"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli"
desktop-file-validate "$work"/usr/share/applications/cindermaze{,-edit}.desktop || fail "desktop-file-validate"
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *liballegro4.4* && $depends == *freepats* ]] || fail "dependencies: $depends"
[ "$status" -eq 0 ] && echo "package: lintian, appstreamcli and desktop-file-validate find no fault"
exit $status
