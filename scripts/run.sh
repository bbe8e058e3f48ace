#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tavelo under Wine: on $DISPLAY
# when there is one, else on a private virtual screen that is saved to a
# picture file every two seconds. Ctrl-C ends it cleanly.
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$here/scripts/build.sh"

arch=$(runnable_arch)
loader=$(wine_loader "$arch")
prefix=$build/wine/run
export WINEPREFIX=$prefix
[ -f "$prefix/system.reg" ] || { log "Making the Wine prefix $prefix"; make_prefix "$prefix" win64; }
[ "$arch" = i686 ] || log "This machine runs 64-bit user code only; starting the 64-bit build."
program=$(winepath -w "$build/$arch/bin/TVL.exe" 2>/dev/null || echo "Z:${build//\//\\}\\$arch\\bin\\TVL.exe")

mkdir -p "$build/run"
xvfb_pid= shots_pid=
finish() {
  trap - INT TERM EXIT
  # Ask Tavelo to close as the system would, so that it writes its settings.
  "$loader" taskkill /im TVL.exe </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 50); do
    pgrep -f 'TVL\.exe' >/dev/null || break
    sleep 0.2
  done
  /usr/lib/wine/wineserver64 -k </dev/null >/dev/null 2>&1 || true
  [ -z "$shots_pid" ] || kill "$shots_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  echo "Tavelo has ended."
}
trap finish EXIT
trap 'exit 130' INT TERM

# The prefix runs its programs in a Wine desktop window of 1024 x 768, with a
# taskbar and its notification area.
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  log "Starting Tavelo on $DISPLAY, in a Wine desktop window. Ctrl-C ends it."
else
  start_xvfb
  screen=$build/run/screen.png
  log "No display: Tavelo runs on a private virtual screen ($DISPLAY)."
  echo "Look at $screen, saved every 2 seconds. Ctrl-C ends it."
  ( while sleep 2; do import -window root "$screen.tmp.png" 2>/dev/null && mv "$screen.tmp.png" "$screen"; done ) &
  shots_pid=$!
fi
"$loader" "$program" </dev/null 2>"$build/run/wine.log" &
wait %% 2>/dev/null || true
