#!/usr/bin/env bash
# Runs the Windows tests of one build in one fresh Wine prefix, on a private
# X display of its own: the test programs, then the end-to-end scripts.
# Exits non-zero on any failure. test.sh runs it directly, or inside the
# emulated machine where the host cannot run 32-bit code.
# Usage: windows-tests.sh <i686|x86_64> <win64|win32>
set -uo pipefail
source "$(dirname "$0")/common.sh"
arch=$1 kind=$2
prefix=$wine_dir/$kind
export WINEPREFIX=$prefix

xvfb_pid=
trap 'stop_prefix_and_display "$prefix"' EXIT
trap 'exit 130' INT TERM

failed=0
start_xvfb || exit 1
log "Fresh $kind prefix"
started=$(date +%s)
make_prefix "$prefix" "$kind"
cp "$build/$arch/fakes/full/pdh.dll" "$(system_folder "$prefix" "$kind" "$arch")/pdh.dll"
start_wineserver "$prefix"
echo "ready in $(( $(date +%s) - started )) s"

loader=$(wine_loader "$arch")
log "Windows tests ($arch) in the $kind prefix"
started=$(date +%s)
"$here/scripts/run-gtest.sh" "$loader" "$build/$arch/bin/tavelo_win32_tests.exe" \
  "mscoree,mshtml=,pdh=n,b" 900 suite || failed=1
# These take pdh.dll away or break it, so Wine's own is switched off too;
# what the process has bound stays bound, so each wants a process.
"$here/scripts/run-gtest.sh" "$loader" "$build/$arch/bin/tavelo_broken_pdh_tests.exe" \
  "mscoree,mshtml=,pdh=" 300 test || failed=1
echo "ran in $(( $(date +%s) - started )) s"

e2e_scripts=(tray optimiser panel)
# Only the 32-bit program under WOW64 starts the companion; the end of a
# session and the unpacked download are tested in the other prefix, which
# keeps the two lanes even.
if [ "$arch-$kind" = i686-win64 ]; then e2e_scripts+=(companion); else e2e_scripts+=(session download); fi
for e2e in "${e2e_scripts[@]}"; do
  log "End-to-end test $e2e ($arch) in the $kind prefix"
  started=$(date +%s)
  "$here/tests/e2e/$e2e.sh" "$build/$arch/bin" "$loader" "$prefix" \
    "$build/e2e/$kind" || failed=1
  echo "ran in $(( $(date +%s) - started )) s"
done
exit $failed
