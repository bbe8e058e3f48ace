#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: the
# native tests of the portable code, then the Windows tests under Wine in
# fresh prefixes on a private X display. Exits non-zero on any failure.
set -uo pipefail
source "$(dirname "$0")/common.sh"

"$here/scripts/build.sh" || exit 1

arch=$(runnable_arch)
if [ "$arch" = i686 ]; then
  prefixes="win64 win32"
else
  prefixes="win64"
  log "This machine runs 64-bit user code only: 32-bit Windows programs cannot start here."
  echo "The 32-bit build is made but its tests run as a 64-bit build, in the 64-bit prefix only."
fi

xvfb_pid=
cleanup() {
  for kind in $prefixes; do stop_wineserver "$build/wine/$kind"; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

failed=0
log "Native tests"
ctest --test-dir "$build/native" --output-on-failure --timeout 120 || failed=1

start_xvfb || exit 1
for kind in $prefixes; do
  prefix=$build/wine/$kind
  log "Fresh $kind prefix"
  started=$(date +%s)
  make_prefix "$prefix" "$kind"
  cp "$build/$arch/fakes/full/pdh.dll" "$(system_folder "$prefix" "$kind" "$arch")/pdh.dll"
  start_wineserver "$prefix"
  echo "ready in $(( $(date +%s) - started )) s"

  log "Windows tests ($arch) in the $kind prefix"
  started=$(date +%s)
  # Now and then Wine fails to start a process at all (no output, gone in
  # 20 ms); a second start tells that apart from a test that fails.
  WINEPREFIX=$prefix ctest --test-dir "$build/$arch" --output-on-failure --timeout 180 \
    --repeat until-pass:2 </dev/null || failed=1
  echo "ran in $(( $(date +%s) - started )) s"

  log "End-to-end tests ($arch) in the $kind prefix"
  for e2e in tray optimiser panel; do
    "$here/tests/e2e/$e2e.sh" "$build/$arch/bin" "$(wine_loader "$arch")" "$prefix" \
      "$build/e2e/$kind" || failed=1
  done
done

exit $failed
