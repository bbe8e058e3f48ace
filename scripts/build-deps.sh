#!/usr/bin/env bash
# Builds libjpeg-turbo and libpng from Debian's source packages into a cache
# in the build folder: cross-built for a Windows target, natively with the
# host compiler, or natively instrumented for the fuzzer (clang, AddressSanitizer,
# UndefinedBehaviorSanitizer and coverage). A second run reuses the cache.
# The native kinds take zlib from the host's zlib1g-dev.
# Usage: build-deps.sh <build dir> <i686|x86_64|native|fuzz>
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "$1")
arch=$2
src=$build/deps/src
case $arch in
  i686|x86_64)
    prefix=$build/deps/$arch-w64-mingw32
    # Sections per function, so that the program's link leaves out what it
    # never calls (the encoders among them); no reading of the libraries'
    # tuning variables from the environment, which brings the C library's
    # whole scanf.
    flags="-O2 -ffunction-sections -fdata-sections -DNO_GETENV -D__USE_MINGW_ANSI_STDIO=0"
    # On 32-bit Windows, no unwind tables either: they would keep every
    # function alive, and no exception crosses this C code. 64-bit Windows
    # unwinds the libraries' error exits (longjmp) by these tables.
    [ "$arch" = i686 ] && flags+=" -fno-asynchronous-unwind-tables -fno-unwind-tables"
    target=(-DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-$arch.cmake" -DCMAKE_C_FLAGS_RELEASE="$flags") ;;
  native)
    prefix=$build/deps/native
    target=(-DCMAKE_POSITION_INDEPENDENT_CODE=ON) ;;
  fuzz)
    prefix=$build/deps/fuzz
    flags="-g -fsanitize=address,undefined,fuzzer-no-link"
    # The SIMD code is assembler, which the sanitizers cannot see into.
    target=(-DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS="$flags" -DWITH_SIMD=OFF
            -DCMAKE_POSITION_INDEPENDENT_CODE=ON) ;;
  *) echo "Unknown target $arch" >&2; exit 2 ;;
esac
# A cache built with other settings is built again.
png_options=$here/scripts/png-read-only.dfa
stamp=$prefix/.complete-$( (printf '%s\n' "${target[@]}"; cat "$png_options") | md5sum | cut -c1-8)

[ -f "$stamp" ] && exit 0
# Their build folders go too: libpng's configuration header does not follow
# a change to the options file on its own.
rm -rf "$prefix" "$build/deps/build-jpeg-$arch" "$build/deps/build-png-$arch"
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

build_library() {  # build_library <source dir> <name> <cmake args...>
  local dir=$1 name=$2; shift 2
  cmake -S "$dir" -B "$build/deps/build-$name-$arch" -G Ninja -Wno-dev \
    "${target[@]}" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_LIBDIR="$prefix/lib" \
    -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
  cmake --build "$build/deps/build-$name-$arch" >/dev/null
  cmake --install "$build/deps/build-$name-$arch" >/dev/null
}

jpeg=$(fetch libjpeg-turbo 'libjpeg-turbo-*')
# The security update's .dsc is missing from the mirror, so the version is pinned.
png=$(fetch libpng1.6=1.6.39-2+deb12u5 'libpng1.6-*')

build_library "$jpeg" jpeg -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF
build_library "$png" png -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DZLIB_USE_STATIC_LIBS=ON -DDFA_XTRA="$png_options"
touch "$stamp"
