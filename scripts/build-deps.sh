#!/usr/bin/env bash
# Cross-builds libjpeg-turbo and libpng for one Windows target into a cache in
# the build folder, from Debian's source packages. A second run reuses it.
# Usage: build-deps.sh <build dir> <i686|x86_64>
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "$1")
arch=$2
triplet=$arch-w64-mingw32
toolchain=$here/cmake/toolchain-$arch.cmake
src=$build/deps/src
prefix=$build/deps/$triplet
stamp=$prefix/.complete

[ -f "$stamp" ] && exit 0
mkdir -p "$src" "$prefix"

fetch() {  # fetch <source package> <unpacked folder glob>
  local package=$1 glob=$2
  if ! compgen -G "$src/$glob/CMakeLists.txt" >/dev/null; then
    (cd "$src" && apt-get source -qq --download-only "$package" >/dev/null 2>&1 \
      && for dsc in *.dsc; do dpkg-source -x --no-check "$dsc" >/dev/null 2>&1 || true; done)
  fi
  local found
  found=$(compgen -G "$src/$glob/CMakeLists.txt" | head -n 1)
  [ -n "$found" ] || { echo "Could not get the source package $package" >&2; exit 1; }
  dirname "$found"
}

cross_build() {  # cross_build <source dir> <name> <cmake args...>
  local dir=$1 name=$2; shift 2
  cmake -S "$dir" -B "$build/deps/build-$name-$arch" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
  cmake --build "$build/deps/build-$name-$arch" >/dev/null
  cmake --install "$build/deps/build-$name-$arch" >/dev/null
}

jpeg=$(fetch libjpeg-turbo 'libjpeg-turbo-*')
# The security update's .dsc is missing from the mirror, so the version is pinned.
png=$(fetch libpng1.6=1.6.39-2+deb12u5 'libpng1.6-*')

cross_build "$jpeg" jpeg -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF
cross_build "$png" png -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DZLIB_USE_STATIC_LIBS=ON
touch "$stamp"
