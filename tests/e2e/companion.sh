#!/usr/bin/env bash
# End-to-end test of the companion path, which only the 32-bit TVL.exe under
# WOW64 takes: a double click on the RAM icon starts the real Vessra.exe from
# TVL.exe's own folder, whose commit peaks near the amount asked; without
# Vessra.exe there, a message box says so. TVL.exe and Vessra.exe run from a
# copy in the prefix, so that the build folder stays whole.
# Usage: companion.sh <folder of the build's programs> <Wine loader> <prefix> <screenshot folder>
set -uo pipefail
built=$(realpath "$1") loader=$2 prefix=$3 shots=$4
export TVL_PDH_VALUES=88  # red on the digital face, which start_tavelo looks for; a run asked for is never held back
bin=$prefix/drive_c/Tavelo
mkdir -p "$bin"
cp "$built/TVL.exe" "$built/Vessra.exe" "$bin/"

source "$(dirname "$0")/common.sh"

value=4
total_mb=$(( $(awk '/^MemTotal:/ { print $2 }' /proc/meminfo) / 1024 ))
amount=$(( total_mb * value / 100 ))
ram_icon_x=994

# The companion's pid in this prefix, once it runs; empty after the timeout.
wait_for_companion() {  # wait_for_companion <seconds>
  local pid
  for _ in $(seq $(( $1 * 10 ))); do
    pid=$(in_this_prefix 'Vessra\.exe' | head -n 1)
    [ -n "$pid" ] && { echo "$pid"; return 0; }
    sleep 0.1
  done
  return 1
}

# The most anonymous memory the process held, in MiB, read until it ends.
# The kernel keeps the high-water mark of the whole resident set, so a peak
# between two samples still counts. The file and shared pages, which hardly
# change while it runs, are taken off it at the most they were seen, since
# they drop while the process ends.
peak_of() {  # peak_of <pid>
  local high=0 files=0 now_high now_files
  while [ -e "/proc/$1/status" ]; do
    read -r now_high now_files < <(awk '/^VmHWM:|^RssFile:|^RssShmem:/ { kib[$1] = $2 }
        END { if ("VmHWM:" in kib) print kib["VmHWM:"], kib["RssFile:"] + kib["RssShmem:"] }' \
        "/proc/$1/status" 2>/dev/null)
    [ "${now_high:-0}" -gt "$high" ] && high=$now_high
    [ "${now_files:-0}" -gt "$files" ] && files=$now_files
    sleep 0.1
  done
  echo $(( (high - files) / 1024 ))
}

ram_icon_ready() { is_ram_icon "$(shot ready)" "$left_icon"; }
read_message_box() {
  text=$("$loader" "$(windows_path "$built/TrayTool.exe")" message-box Tavelo </dev/null 2>/dev/null |
    tr -d '\r')
}

echo "== The companion, from the 32-bit program under WOW64"
check "Tavelo starts with both icons in the tray" start_tavelo $'[RAM]\r\nValue='$value$'\r\n'
xdotool mousemove $ram_icon_x 758 click --repeat 2 --delay 80 1
pid=$(wait_for_companion 60)
check "a double click on the RAM icon starts Vessra.exe" test -n "$pid"
if [ -n "$pid" ]; then
  command_line=$(tr '\0' ' ' < "/proc/$pid/cmdline")
  echo "        its command line: $command_line"
  check "it is the one in TVL.exe's folder, asked for $amount MB" \
    grep -qiE "Tavelo.Vessra\.exe +$amount\b" <<< "$command_line"
  peak=$(peak_of "$pid")
  echo "        its peak: $peak MiB of $amount asked"
  check "its commit peaks near the amount asked" \
    test "$peak" -ge $(( amount * 3 / 4 )) -a "$peak" -le $(( amount + 32 ))
fi

rm "$bin/Vessra.exe"
# The icons ignore clicks until the program has left its busy state.
eventually 60 ram_icon_ready
xdotool mousemove $ram_icon_x 758 click --repeat 2 --delay 80 1
text=
eventually 60 read_message_box
shot missing-companion >/dev/null
echo "        the message box says: ${text:-nothing}"
check "without Vessra.exe a message box names it" \
  test "$text" = "$(windows_path "$bin")\\Vessra.exe"$'\nがありません。'
xdotool key Return
stop_tavelo

echo "companion: $passed passed, $failed failed"
[ $failed -eq 0 ]
