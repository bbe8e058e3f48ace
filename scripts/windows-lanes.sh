#!/usr/bin/env bash
# Runs the Windows tests of one build in each of the named prefix kinds side
# by side, each in a prefix and on an X display of its own; every line says
# which prefix it comes from. Exits non-zero when any of them fails.
# Usage: windows-lanes.sh <i686|x86_64> <win64|win32>...
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
arch=$1; shift

pids=()
for kind in "$@"; do
  ( set -o pipefail
    "$here/scripts/windows-tests.sh" "$arch" "$kind" 2>&1 | sed -u "s/^/[$kind] /" ) &
  pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
exit $failed
