#!/usr/bin/env bash
# Builds everything and prints benchmark figures: the portable work natively,
# then TVL.exe under Wine (start-up, memory, handles, face changes), then
# what having Tavelo running costs beside a floor program of the same kind,
# and the size of the download.
set -uo pipefail
source "$(dirname "$0")/common.sh"

"$here/scripts/build.sh" || exit 1
arch=$(runnable_arch)
prefix=$wine_dir/bench
export WINEPREFIX=$prefix

xvfb_pid=
trap 'stop_prefix_and_display "$prefix"' EXIT

log "Portable code (native)"
"$build/native/bin/tavelo_portable_bench"
"$build/native/bin/tavelo_picture_bench"

[ -f "$prefix/system.reg" ] || { log "Making the Wine prefix $prefix"; make_prefix "$prefix" win64; }
start_xvfb || exit 1
start_wineserver "$prefix"
log "TVL.exe under Wine ($arch)"
"$(wine_loader "$arch")" "$build/$arch/bin/tavelo_win32_bench.exe" </dev/null 2>/dev/null | tr -d '\r'

stop_prefix_and_display "$prefix"
xvfb_pid=

"$here/scripts/resident-cost.sh" "$arch" || exit 1

log "The download"
"$here/scripts/dist.sh" >/dev/null || exit 1
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/i686/CMakeCache.txt")
for file in "$build/Tavelo-$version.zip" "$build/dist/Tavelo-$version/TVL.exe" "$build/dist/Tavelo-$version/Vessra.exe"; do
  printf '%-16s %10s bytes\n' "$(basename "$file")" "$(stat -c %s "$file")"
done
