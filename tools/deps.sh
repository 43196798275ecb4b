#!/usr/bin/env bash
# Installs what building and testing need, once; quiet when all is there.
set -euo pipefail
packages=(cmake ninja-build make g++-mingw-w64-i686 binutils-mingw-w64-i686 doctest-dev
          wine wine32 xvfb x11-utils python3 zip imagemagick)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  rm -f /var/lib/apt/lists/lock.stamp
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >/dev/null
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
