#!/bin/bash
# Installs the Debian packages Cindermaze needs to build, run and test, only those missing.
set -e
packages=(
    g++ make cmake pkg-config
    liballegro4-dev
    libfreetype-dev fonts-dejavu-core freepats
    googletest libgtest-dev libbenchmark-dev
    xvfb xdotool x11-utils imagemagick alsa-utils
    clang libclang-rt-dev valgrind
)
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
