#!/usr/bin/env bash
# Prints what having Tavelo running costs a user, beside a floor program of
# the same kind (tests/bench/FloorTray.cpp): the start-up until both icons
# are in the tray, the CPU time of all the prefix's processes over two
# minutes with the icons and the panel updating, and the program's private
# memory, each with its ratio to the floor. Both programs run in turn in one
# prefix of their own, with the same scripted pdh.dll: Wine's processor
# counter always reads 0, which would leave the icons unchanged.
# Usage: resident-cost.sh <i686|x86_64>
set -uo pipefail
source "$(dirname "$0")/common.sh"

arch=$1
bin=$build/$arch/bin
loader=$(wine_loader "$arch")
prefix=$wine_dir/resident-cost
export WINEPREFIX=$prefix
export WINEDLLOVERRIDES="mscoree,mshtml=,pdh=n,b"
# A load that changes at every read, the same for both programs.
TVL_PDH_VALUES=$(seq 0 299 | awk '{ print ($1 * 37) % 101 }' | paste -sd,)
export TVL_PDH_VALUES
resident_seconds=${TAVELO_RESIDENT_SECONDS:-120}
starts=5

xvfb_pid=
trap 'stop_prefix_and_display "$prefix"' EXIT

# The processes of this prefix: the program, Wine's services, the desktop
# and the wineserver.
prefix_processes() { in_prefix "$prefix" .; }

# cpu_ticks <pid...>: their user and system time together, in clock ticks.
cpu_ticks() {
  local pid
  for pid in "$@"; do cat "/proc/$pid/stat" 2>/dev/null; done |
    # The fields after the name, which may hold spaces: utime is the 12th.
    awk '{ sub(/.*\) /, ""); total += $12 + $13 } END { print total + 0 }'
}

# private_kib <pid>: the pages the process has written and shares with no
# other, in KiB: its heaps, stacks and the pages of its DLLs it changed, much
# as Windows counts private bytes. Clean pages of files are left out: they
# count as private only while no other process maps the same file.
private_kib() {
  awk '/^(Private_Dirty|Swap):/ { sum += $2 } END { print sum }' "/proc/$1/smaps_rollup"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# resident_cost <program> <window class>: "<start-up ms> <prefix CPU s>
# <program's own CPU s> <private MiB>"; the start-up is the median of
# several starts, the rest are read over one run of resident_seconds.
resident_cost() {
  local program=$1 class=$2 bench_tool started pid prefix_before own_before hz
  bench_tool=$(windows_path "$bin/ResidentBench.exe")
  # A file, not a pipe: the started program keeps the output it inherits.
  started=$(mktemp)
  for _ in $(seq "$starts"); do
    "$loader" "$bench_tool" start "$(windows_path "$bin/$program")" </dev/null >>"$started" 2>/dev/null
    "$loader" "$bench_tool" stop "$class" </dev/null >/dev/null 2>&1
  done
  "$loader" "$bench_tool" start "$(windows_path "$bin/$program")" </dev/null >/dev/null 2>&1 ||
    { echo "$program did not show its icons" >&2; return 1; }
  sleep 5  # past the start-up's own work
  pid=$(in_prefix "$prefix" "$program" | head -1)
  prefix_before=$(cpu_ticks $(prefix_processes)) own_before=$(cpu_ticks "$pid")
  sleep "$resident_seconds"
  hz=$(getconf CLK_TCK)
  awk -v start="$(tr -d '\r' <"$started" | median)" \
      -v prefix=$(( $(cpu_ticks $(prefix_processes)) - prefix_before )) \
      -v own=$(( $(cpu_ticks "$pid") - own_before )) -v hz="$hz" \
      -v private="$(private_kib "$pid")" \
      'BEGIN { printf "%s %.2f %.2f %.1f\n", start, prefix / hz, own / hz, private / 1024 }'
  "$loader" "$bench_tool" stop "$class" </dev/null >/dev/null 2>&1
  rm -f "$started"
}

[ -f "$prefix/system.reg" ] || { log "Making the Wine prefix $prefix"; make_prefix "$prefix" win64; }
cp "$build/$arch/fakes/full/pdh.dll" "$(system_folder "$prefix" win64 "$arch")/pdh.dll"
# Whatever an interrupted run left in the prefix would share the tray.
stop_wineserver "$prefix"
start_xvfb || exit 1
start_wineserver "$prefix"

log "Resident cost beside a floor program: icons (and Tavelo's panel) updating for $resident_seconds s"
# Tavelo starts with its defaults: the panel shown.
rm -rf "$prefix/drive_c/users/$(id -un)/AppData/Roaming/Orvane Project"
# A real session's taskbar stays up between programs.
"$loader" "$(windows_path "$bin/ResidentBench.exe")" hold </dev/null >/dev/null 2>&1 &
read -r floor_start floor_cpu floor_own floor_private < <(resident_cost FloorTray.exe TaveloFloorTray)
read -r tavelo_start tavelo_cpu tavelo_own tavelo_private < <(resident_cost TVL.exe TApplication)
awk -v fs="$floor_start" -v ts="$tavelo_start" -v fc="$floor_cpu" -v tc="$tavelo_cpu" \
    -v fo="$floor_own" -v to="$tavelo_own" -v fp="$floor_private" -v tp="$tavelo_private" '
  function row(what, floor, tavelo, unit) {
    ratio = floor > 0 ? sprintf("%.2f", tavelo / floor) : "-"
    printf "%-44s %9s %-3s %9s %-3s %6s\n", what, floor, unit, tavelo, unit, ratio
  }
  BEGIN {
    printf "%-44s %13s %13s %6s\n", "", "floor", "Tavelo", "ratio"
    row("start-up until both icons are in the tray", fs, ts, "ms")
    row("CPU time of all the prefix'"'"'s processes", fc, tc, "s")
    row("  of which the program'"'"'s own", fo, to, "s")
    row("private memory of the program", fp, tp, "MiB")
  }'

