#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: the
# native tests of the portable code, then the Windows tests of the 32-bit
# build we ship under Wine, in a fresh 64-bit prefix (WOW64) and a fresh
# 32-bit one side by side. Where the host cannot run 32-bit code, those run
# inside an emulated machine. Exits non-zero on any failure.
set -uo pipefail
source "$(dirname "$0")/common.sh"

"$here/scripts/build.sh" lean || exit 1

failed=0
log "Native tests"
ctest --test-dir "$build/native" --output-on-failure --timeout 120 || failed=1

log "The download"
{ "$here/scripts/dist.sh" && "$here/tests/dist/check.sh"; } || failed=1

# The emulated machine may take this long for both prefixes, from its boot
# to its power-off.
guest_time_limit=3600

rm -rf "$build/e2e"
lanes=("$here/scripts/windows-lanes.sh" i686 win64 win32)
if can_run_32bit; then
  "${lanes[@]}" || failed=1
else
  log "This host runs 64-bit user code only: the 32-bit tests run in an emulated machine"
  # A short boot first tells a machine that cannot see the checkout or the
  # build folder from a failing test. The machine's command starts with a
  # clean environment, so it is told the build folder. The prefixes stay in
  # the machine's memory; the screenshots come back.
  { "$here/scripts/guest/check.sh" &&
    GUEST_WRITABLE=$build/e2e "$here/scripts/guest/run.sh" "$build" "$guest_time_limit" \
      env BUILD_DIR="$build" TAVELO_WINE_DIR=/tmp/wine "${lanes[@]}"; } || failed=1
fi
exit $failed
