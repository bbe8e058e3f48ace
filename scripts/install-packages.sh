#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tavelo needs, and
# any further ones named as arguments (fuzzing asks for clang that way).
# Idempotent: it does nothing when everything is already there.
set -euo pipefail

packages=(
  wine wine64 wine32:i386
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  libz-mingw-w64-dev zlib1g-dev cmake ninja-build nasm googletest g++ make
  xvfb xdotool x11-utils imagemagick fonts-vlgothic fonts-wine dpkg-dev
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

sources=/etc/apt/sources.list.d/debian.sources
needs_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  needs_update=1
fi
# apt-get source needs deb-src for the libraries we cross-build.
if [ -f "$sources" ] && grep -q '^Types: deb$' "$sources"; then
  sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
  needs_update=1
fi

if [ ${#missing[@]} -eq 0 ] && [ $needs_update -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}. Run this as root." >&2
  exit 1
fi
echo "Installing: ${missing[*]:-(apt sources only)}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
[ ${#missing[@]} -eq 0 ] || apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
