#!/usr/bin/env bash
# Builds everything and prints benchmark figures: the portable work natively,
# then TVL.exe under Wine (start-up, memory, handles, face changes), then
# what having Tavelo running costs beside a floor program of the same kind
# (for the 32-bit build too, in the emulated machine where the host cannot
# run it), and the size of the download.
set -uo pipefail
source "$(dirname "$0")/common.sh"

"$here/scripts/build.sh" || exit 1
arch=$(runnable_arch)
# Where the host runs 64-bit code only, the 32-bit build's resident cost is
# measured in the emulated machine: these rounds, of this many seconds, and
# at most this long from its boot to its power-off: making its prefix takes
# 5 to 10 minutes there, and each program of a round about 100 s.
guest_rounds=${TAVELO_GUEST_BENCH_ROUNDS:-3}
guest_resident_seconds=${TAVELO_GUEST_RESIDENT_SECONDS:-30}
guest_time_limit=2700
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
if [ "$arch" != i686 ]; then
  log "The 32-bit build, which ships, in the emulated machine"
  # Its clock runs at the emulator's pace, so times there are ratios only;
  # fewer and shorter rounds keep it within its time limit.
  "$here/scripts/guest/run.sh" "$build" "$guest_time_limit" \
    env BUILD_DIR="$build" TAVELO_WINE_DIR=/tmp/wine TAVELO_EMULATED_MACHINE=1 \
    TAVELO_BENCH_ROUNDS="$guest_rounds" TAVELO_RESIDENT_SECONDS="$guest_resident_seconds" \
    "$here/scripts/resident-cost.sh" i686 || exit 1
fi

log "The download"
"$here/scripts/dist.sh" >/dev/null || exit 1
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/i686/CMakeCache.txt")
for file in "$build/Tavelo-$version.zip" "$build/dist/Tavelo-$version/TVL.exe" "$build/dist/Tavelo-$version/Vessra.exe"; do
  printf '%-16s %10s bytes\n' "$(basename "$file")" "$(stat -c %s "$file")"
done
