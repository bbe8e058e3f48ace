#!/usr/bin/env bash
# Installs what is missing, then builds everything: the native build of the
# portable code and both Windows targets. A second run reuses what is built.
# With "lean", of the 64-bit target only the companion: all that the tests
# and the download need, since every Windows test runs the 32-bit build.
# Usage: build.sh [lean]
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$here/scripts/install-packages.sh"
mkdir -p "$build"

configure() {  # configure <name> [cmake args...]
  local name=$1; shift
  [ -f "$build/$name/build.ninja" ] && return 0
  cmake -S "$here" -B "$build/$name" -G Ninja -Wno-dev "$@" >/dev/null
}

for arch in i686 x86_64; do
  log "Picture libraries for $arch"
  "$here/scripts/build-deps.sh" "$build" "$arch"
  configure "$arch" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-$arch.cmake" \
    -DTAVELO_DEPS_PREFIX="$build/deps/$arch-w64-mingw32"
  log "Building $arch"
  if [ "$arch" = x86_64 ] && [ "${1:-}" = lean ]; then
    cmake --build "$build/$arch" --target Vessra
  else
    cmake --build "$build/$arch"
  fi
done

# The companion is 64-bit only; the 32-bit TVL.exe finds it beside itself.
cp "$build/x86_64/bin/Vessra.exe" "$build/i686/bin/Vessra.exe"

log "Picture libraries, native"
"$here/scripts/build-deps.sh" "$build" native
configure native -DTAVELO_DEPS_PREFIX="$build/deps/native"
log "Building native"
cmake --build "$build/native"
