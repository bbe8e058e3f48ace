#!/usr/bin/env bash
# Keeps one build of Tavelo busy on the real clock for some minutes and
# samples what it holds once a minute, for scripts/soak.sh. TVL.exe runs in
# a fresh 64-bit prefix on a private X display, with its panel shown, an
# automatic threshold of 1 % and an amount of 2 %, so that a run is due every
# minute: through Vessra.exe for the 32-bit build under WOW64, in-process
# for the 64-bit one. The scripted pdh.dll gives a CPU load that changes
# every second. Once each run has ended, it opens the tray menu three
# times: for Reset, which also starts the scripted load over, and to close
# and reopen the panel window, whose close rewrites TVL.ini. Then, well
# before the next run (a run lifts private memory for a second or two), it
# samples TVL.exe's GDI objects and kernel handles (ProcessCounters.exe),
# its private memory (Private_Dirty + Swap, the lowest of three reads a
# second apart) and TVL.ini. At the end it exits Tavelo through the menu,
# which writes TVL.ini once more.
# Writes <out folder>/<build>.csv, one line per sample:
#   <seconds since the start>,<build>,<GDI objects>,<kernel handles>,
#   <private KiB>,<TVL.ini bytes>,<its SHA-256>,<ok|bad>
# where ok means it parses as the INI file it should be and still holds the
# optimiser's keys. Prints each sample and what went wrong; exits non-zero
# when anything did. Whether the counts grow is judged by report.py.
# Usage: lane.sh <i686|x86_64> <minutes> <out folder>
set -uo pipefail
arch=$1 minutes=$2 out=$3
source "$(dirname "$0")/../../scripts/common.sh"
bin=$build/$arch/bin
loader=$(wine_loader "$arch")
prefix=$wine_dir/soak-$arch
shots=$out/$arch
csv=$out/$arch.csv

# 120 seconds of a load that changes every second, over the whole range;
# the scripted pdh.dll reads at most 1023 characters of it, and Reset,
# every minute, starts it over.
TVL_PDH_VALUES=$(seq 0 119 | awk '{ print ($1 * 37) % 101 }' | paste -sd,)
export TVL_PDH_VALUES
settings_text=$'[RAM]\r\nAuto=1\r\nValue=2\r\n'
reset_item=74   # リセット(R), below the tray menu's top edge
panel_item=98   # パネルウィンドウ(P)
run_wait_seconds=150

xvfb_pid= watcher= sightings=
trap 'kill $watcher 2>/dev/null; rm -f "$sightings"; stop_prefix_and_display "$prefix"' EXIT
trap 'exit 130' INT TERM

start_xvfb || exit 1
log "Fresh win64 prefix for the $arch build"
make_prefix "$prefix" win64
cp "$build/$arch/fakes/full/pdh.dll" "$(system_folder "$prefix" win64 "$arch")/pdh.dll"
start_wineserver "$prefix"
source "$here/tests/e2e/common.sh"
# Entries are separated by ';'.
export WINEDLLOVERRIDES="mscoree,mshtml=;pdh=n,b"

problems=0
problem() { problems=$((problems + 1)); echo "PROBLEM $*"; }

# The companion comes and goes within a second or two on a fast machine, so
# a watcher in the background notes the time of each sighting of it.
sightings=$(mktemp)
( while :; do
    [ -n "$(in_this_prefix 'Vessra\.exe')" ] && date +%s%3N >>"$sightings"
    sleep 0.1
  done ) &
watcher=$!

pid=
status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0; }
companion_seen_since() { awk -v since="$1" '$1 >= since { found = 1 } END { exit !found }' "$sightings"; }
# A run of 2 % touches that much memory, or starts the companion; half of
# 1 % is far beyond what the one-second cycle ever holds.
burst_kb=$(( $(awk '/^MemTotal:/ { print $2 }' /proc/meminfo) / 100 / 2 ))

# Waits for the next run to start and to end, for up to `seconds`. The
# kernel keeps the process's resident peak, so a squeeze between two looks
# still shows; the peak is reset first.
next_run() {  # next_run <seconds>
  local until=$(( $(date +%s) + $1 )) since baseline
  echo 5 >"/proc/$pid/clear_refs"
  baseline=$(status_kb VmHWM) since=$(date +%s%3N)
  until companion_seen_since "$since" || (( $(status_kb VmHWM) - baseline > burst_kb )); do
    tavelo_runs && [ "$(date +%s)" -lt "$until" ] || return 1
    sleep 0.2
  done
  while [ -n "$(in_this_prefix 'Vessra\.exe')" ] || (( $(status_kb VmRSS) - baseline > burst_kb )); do
    [ "$(date +%s)" -lt "$until" ] || return 1
    sleep 0.2
  done
}

private_kib() {
  awk '/^(Private_Dirty|Swap):/ { kib += $2 } END { print kib + 0 }' "/proc/$pid/smaps_rollup"
}
lowest_private_kib() {
  local reads=() _
  for _ in 1 2 3; do reads+=("$(private_kib)"); sleep 1; done
  printf '%s\n' "${reads[@]}" | sort -n | head -1
}

# Whether TVL.ini has a byte-order mark, CR LF after every line, only
# sections, keys with values and empty lines, and the optimiser's keys as
# this run set them.
settings_parse() {
  local file=$data/TVL.ini
  [ "$(head -c 2 "$file" 2>/dev/null | od -An -tx1 | tr -d ' ')" = fffe ] || return 1
  [ "$(tail -c 4 "$file" | od -An -tx1 | tr -d ' ')" = 0d000a00 ] || return 1
  tail -c +3 "$file" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | awk '
    BEGIN { RS = "\r\n"; bad = 0 }
    /^\[[^][]+\]$/ { section = tolower($0); next }
    /^$/ { next }
    section != "" && /^[^=[]+=/ { if (section == "[ram]") ram[tolower($0)] = 1; next }
    { bad = 1 }
    END { exit bad || !("auto=1" in ram) || !("value=2" in ram) }
  '
}

settings_state() {
  local file=$data/TVL.ini
  if [ ! -f "$file" ]; then echo "0,,bad"; return; fi
  printf '%s,%s,%s\n' "$(stat -c %s "$file")" "$(sha256sum <"$file" | cut -c1-64)" \
    "$(settings_parse && echo ok || echo bad)"
}

sample() {
  local counters gdi handles private
  counters=$("$loader" "$(windows_path "$bin/ProcessCounters.exe")" TApplication </dev/null 2>&1 | tr -d '\r')
  gdi=$(awk '$1 == "gdi" { print $2 }' <<<"$counters")
  handles=$(awk '$1 == "handles" { print $2 }' <<<"$counters")
  private=$(lowest_private_kib)
  if [ -z "$gdi" ] || [ -z "$handles" ]; then
    problem "ProcessCounters could not count TVL.exe's objects: $counters"
    return
  fi
  local line seconds bytes parses
  line="$(( $(date +%s) - started )),$arch,$gdi,$handles,$private,$(settings_state)"
  echo "$line" >>"$csv"
  IFS=, read -r seconds _ _ _ _ bytes _ parses <<<"$line"
  printf 'minute %3d: %4d GDI objects, %4d kernel handles, %6d KiB private, TVL.ini %d bytes, %s\n' \
    $(( seconds / 60 )) "$gdi" "$handles" "$private" "$bytes" "$parses"
  [ "$parses" = ok ] || problem "TVL.ini does not parse or has lost the optimiser's keys"
}

panel_shows() { [ "$(count "$(shot panel)" 85x64+100+100 '#00FFFF')" -gt 20 ]; }

# Reset, then the panel window closed and opened again.
use_the_menu() {
  menu_item 1014 $reset_item || problem "the tray menu failed for Reset"
  menu_item 1014 $panel_item || problem "the tray menu failed for closing the panel"
  eventually 30 eval '! panel_shows' || problem "the panel did not close"
  menu_item 1014 $panel_item || problem "the tray menu failed for opening the panel"
  eventually 30 panel_shows || problem "the panel did not open again"
}

log "Soak of the $arch build for $minutes minutes"
echo "seconds,build,gdi_objects,kernel_handles,private_kib,settings_bytes,settings_sha256,settings_parses" >"$csv"
start_tavelo "$settings_text" || { problem "TVL.exe did not show its icons"; exit 1; }
started=$(date +%s)
pid=$(in_this_prefix 'TVL\.exe' | head -1)
runs=0
while tavelo_runs && [ "$(date +%s)" -lt $(( started + minutes * 60 )) ]; do
  if next_run "$run_wait_seconds"; then
    runs=$((runs + 1))
  else
    tavelo_runs && problem "no automatic run ended within $run_wait_seconds s"
  fi
  tavelo_runs || break
  use_the_menu
  sleep 2
  sample
done
tavelo_runs || problem "TVL.exe ended by itself"
echo "$runs automatic runs in $(( ($(date +%s) - started) / 60 )) minutes"
shot end >/dev/null

menu_item 1014 $exit_item || problem "the tray menu failed for Exit"
tavelo_ends || problem "TVL.exe did not end after Exit"
settings_parse || problem "TVL.ini written at exit does not parse or has lost the optimiser's keys"
stop_tavelo
[ "$problems" -eq 0 ]
