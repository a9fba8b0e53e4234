#!/usr/bin/env bash
# Installs what the build, the tests and the main command need on Debian 12, where it is
# missing. Runs as root; does nothing when everything is there.
set -euo pipefail
packages=(cmake make g++ g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 fonts-wine fonts-liberation xvfb xauth
          googletest libgtest-dev libbenchmark-dev imagemagick python3)
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
