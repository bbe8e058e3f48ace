#!/usr/bin/env bash
# Keeps Tavelo busy on the real clock for SOAK_MINUTES (60 by default) and
# checks that what it holds does not grow: the 32-bit build we ship (inside
# the emulated machine where the host cannot run 32-bit code) and the 64-bit
# build, or those named in SOAK_BUILDS, side by side, each driven and
# sampled once a minute by tests/soak/lane.sh. Then tests/soak/report.py writes build/soak/soak.csv
# and soak.png and prints the growth per hour of each count per build.
# Exits non-zero when a count grows beyond its tolerance or a lane fails.
set -uo pipefail
source "$(dirname "$0")/common.sh"

minutes=${SOAK_MINUTES:-60}
"$here/scripts/build.sh" || exit 1
"$here/scripts/install-packages.sh" python3 gnuplot-nox || exit 1
out=$build/soak
rm -rf "$out" && mkdir -p "$out"

# marked <build> <command...>: the command's lines, each marked with the build.
marked() {
  local build=$1; shift
  ( set -o pipefail; "$@" 2>&1 | sed -u "s/^/[$build] /" )
}

failed=0 lanes=()
for arch in ${SOAK_BUILDS:-i686 x86_64}; do
  lane=("$here/tests/soak/lane.sh" "$arch" "$minutes" "$out")
  if [ "$arch" = x86_64 ] || can_run_32bit; then
    marked "$arch" "${lane[@]}" &
  else
    log "This host runs 64-bit user code only: the 32-bit build soaks in an emulated machine"
    # Its boot and its prefix take 5 to 10 minutes before the soak starts.
    # Its command starts with a clean environment, so it is told the build
    # folder; the prefix stays in its memory, the samples come back.
    marked "$arch" env GUEST_WRITABLE="$out" "$here/scripts/guest/run.sh" "$build" $(( minutes * 60 + 1800 )) \
      env BUILD_DIR="$build" TAVELO_WINE_DIR=/tmp/wine "${lane[@]}" &
  fi
  lanes+=($!)
done
for lane in "${lanes[@]}"; do wait "$lane" || failed=1; done
log "Soak of $minutes minutes"
python3 "$here/tests/soak/report.py" "$out" || failed=1
exit $failed
