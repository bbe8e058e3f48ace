#!/usr/bin/env bash
# Checks that the emulated machine shows a job what it needs wherever the
# checkout and the build folder lie, /tmp included, and that it hides the
# host's X servers. The machine boots from a build folder under /tmp (with
# the kernel of the real one) while the host holds a display of its own;
# inside, this script runs again from the checkout, starts an X server at
# that display's number and writes files on either side of the machine's
# writable layer. Prints one line per check; exits non-zero on a failure.
# Usage: check.sh
set -uo pipefail
source "$(dirname "$0")/../common.sh"

passed=0 failed=0
check() {  # check <what> <command...>
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok      $what"
  else failed=$((failed + 1)); echo "FAILED  $what"; fi
}
display_free() { [ ! -e "/tmp/.X11-unix/X$1" ] && [ ! -e "/tmp/.X$1-lock" ]; }

# Inside the machine: check.sh inside <scratch folder> <the host's display number>
if [ "${1:-}" = inside ]; then
  scratch=$2 display=$3
  xvfb_pid=
  check "the working folder is the host's, under /tmp" test "$PWD" = "$scratch"
  check "the host's display :$display shows no socket or lock here" display_free "$display"
  check "an X server of the machine's own starts as :$display" \
    eval 'TAVELO_DISPLAYS=$display start_xvfb && xdpyinfo >/dev/null'
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid"
  echo kept > "$scratch/written-in-memory"
  echo written > "$scratch/shared/written-through"
  exit "$failed"
fi

"$here/scripts/guest/prepare.sh" "$build" || exit 1
scratch=$(mktemp -d /tmp/tavelo-guest-check.XXXXXX)
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid"; rm -rf "$scratch"' EXIT
mkdir -p "$scratch/build/guest"
ln -s "$build/guest/kernel" "$scratch/build/guest/kernel"
start_xvfb || exit 1
display=${DISPLAY#:}

log "The emulated machine, from a build folder under /tmp, beside the host's display :$display"
cd "$scratch" || exit 1
GUEST_WRITABLE=$scratch/shared "$here/scripts/guest/run.sh" "$scratch/build" 300 \
  "$here/scripts/guest/check.sh" inside "$scratch" "$display"
status=$?
# The scratch folder goes at the end, the console with it: its end shows now.
[ "$status" -eq 0 ] || tail -n 20 "$scratch/build/guest/job/console.log"
check "the job ran from the checkout, and its checks passed" test "$status" -eq 0
check "a file written to a shared folder under /tmp reached the host" test -f "$scratch/shared/written-through"
check "one written elsewhere stayed in the machine" test ! -e "$scratch/written-in-memory"
check "the host's display :$display kept its lock" test -e "/tmp/.X$display-lock"
echo "guest check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
