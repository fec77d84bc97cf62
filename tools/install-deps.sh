#!/bin/bash
# Installs the Debian packages Cindermaze needs to build, run and test, only those missing.
# With the argument "windows": also what the Windows build and its tests under Wine need.
set -e
packages=(
    g++ make cmake pkg-config
    liballegro4-dev
    libfreetype-dev fonts-dejavu-core freepats
    googletest libgtest-dev libbenchmark-dev
    xvfb xdotool x11-utils imagemagick alsa-utils
    clang libclang-rt-dev valgrind
    dpkg-dev file lintian appstream desktop-file-utils
)
if [ "${1:-}" = windows ]; then
    packages+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev patch unzip wine wine64)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
