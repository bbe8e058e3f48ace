#!/usr/bin/env bash
# End-to-end tests of the automatic memory optimisation: TVL.exe at a
# threshold of 1 % (the memory load of the test machines is about that),
# watched from outside. A run is seen as the peak of TVL.exe's resident
# memory that the squeezer leaves behind, or as the companion Vessra.exe
# running.
# Usage: optimiser.sh <folder of TVL.exe> <Wine loader> <prefix> <screenshot folder>
set -uo pipefail
bin=$1 loader=$2 prefix=$3 shots=$4
export TVL_PDH_VALUES=10  # well below the CPU load that holds runs back

source "$(dirname "$0")/common.sh"

# A run of 1 % of the memory touches that much; half of it is far beyond
# what the one-second cycle ever holds. The kernel keeps the process's
# resident peak, so a run is seen however late the next look comes, and
# the peak is reset after each one. The companion comes and goes, so a
# watcher in the background notes the time of each sighting of it.
total_kb=$(awk '/^MemTotal:/ { print $2 }' /proc/meminfo)
burst_kb=$(( total_kb / 100 / 2 ))
started=0 pid= baseline_kb=0 since_ms=0 seen_at=
now_ms() { date +%s%3N; }

sightings=$(mktemp)
( while :; do
    [ -n "$(in_this_prefix 'Vessra\.exe')" ] && now_ms >> "$sightings"
    sleep 0.1
  done ) &
watcher=$!
trap 'kill $watcher 2>/dev/null; rm -f "$sightings"' EXIT
companion_seen() { awk -v since="$since_ms" '$1 >= since { found = 1 } END { exit !found }' "$sightings"; }

status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0; }
# Runs count from now on.
reset_peak() {
  echo 5 > "/proc/$pid/clear_refs"
  baseline_kb=$(status_kb VmRSS)
  since_ms=$(now_ms)
}

# Looks every 0.2 s until `until_ms` after the start; sets seen_at to the
# milliseconds since the start at which a run was seen first, or to "".
watch_for_run() {  # watch_for_run <until_ms>
  seen_at=
  while (( $(now_ms) - started < $1 )); do
    if (( $(status_kb VmHWM) - baseline_kb > burst_kb )) || companion_seen; then
      seen_at=$(( $(now_ms) - started ))
      # A companion still running must not count as the next run.
      while [ -n "$(in_this_prefix 'Vessra\.exe')" ]; do sleep 0.2; done
      reset_peak
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# Stop and go through the tray menu: the hold-off is 0 afterwards, so an
# automatic run is due in the next second, which may come before the menu
# has closed; the peak counts from before the go.
stop_and_go() {
  menu_item 1014 $stop_item
  reset_peak
  menu_item 1014 $stop_item
}

echo "== Automatic runs"
rm -rf "$data"; mkdir -p "$data"
utf16_file $'[RAM]\r\nAuto=1\r\nValue=1\r\n' > "$data/TVL.ini"
utf16_file $'Notepad.EXE\r\n' > "$data/TVL.dat"
tavelo=$(windows_path "$(realpath "$bin")/TVL.exe")
"$loader" "$tavelo" </dev/null >/dev/null 2>&1 &
for _ in $(seq 200); do
  pid=$(in_this_prefix 'TVL\.exe' | head -1)
  [ -n "$pid" ] && [ "$(tr -d '\0' < "/proc/$pid/cmdline")" = "$tavelo" ] && break
  pid=
  sleep 0.05
done
started=$(now_ms)
check "TVL.exe runs" test -n "$pid"

sleep 3  # the memory of the start-up itself is no run
reset_peak
watch_for_run 58500
check "no run in the first 59 seconds of work" test -z "$seen_at"
# A busy or emulated machine stretches the program's seconds, never
# shortens them: the run may come late, but not early.
watch_for_run 150000
echo "        first run seen ${seen_at:-never} ms after the start"
check "the first automatic run starts after 60 seconds of work" test "${seen_at:-0}" -ge 58500

"$loader" notepad.exe </dev/null >/dev/null 2>&1 &
sleep 3
stop_and_go
watch_for_run $(( $(now_ms) - started + 15000 ))
check "with the listed notepad running a due run is held back" test -z "$seen_at"

"$loader" taskkill /im notepad.exe </dev/null >/dev/null 2>&1
sleep 2
stop_and_go
watch_for_run $(( $(now_ms) - started + 15000 ))
check "once notepad has ended the next due run starts" test -n "$seen_at"

stop_tavelo
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
