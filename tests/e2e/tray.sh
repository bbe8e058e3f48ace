#!/usr/bin/env bash
# End-to-end tests of Tavelo's tray icons: TVL.exe in the prefix's virtual
# desktop of 1024 x 768 on the current X display, driven with xdotool and checked in screenshots
# and in its settings file. The CPU load comes from the scripted pdh.dll.
# Usage: tray.sh <folder of TVL.exe and TrayTool.exe> <Wine loader> <prefix> <screenshot folder>
set -uo pipefail
bin=$1 loader=$2 prefix=$3 shots=$4
export TVL_PDH_VALUES=88  # red on the digital face; the memory load here is low, so green

source "$(dirname "$0")/common.sh"

echo "== Tray icons"
check "Tavelo starts with both icons in the tray" start_tavelo
screen=$(shot started)
check "the CPU icon, shown first, sits right of the RAM icon" is_cpu_icon "$screen" "$right_icon"
check "the RAM icon sits left" is_ram_icon "$screen" "$left_icon"

xdotool mousemove 1014 758 click 3
sleep 1.5
screen=$(shot menu)
check "a right click opens the menu above the icon" \
  test "$(count "$screen" 200x200+820+540 '#FFFFFF')" -gt 20000
xdotool key Escape
sleep 1

menu_item 1014 $stop_item
screen=$(shot stopped)
check "Stop shows the stopped badge on both icons" \
  test "$(count "$screen" "$left_icon" '#E73921')" -gt 5 -a "$(count "$screen" "$right_icon" '#E73921')" -gt 5
menu_item 1014 $stop_item  # running again
sleep 2

"$loader" "$(windows_path "$bin/TrayTool.exe")" forget </dev/null >/dev/null 2>&1
sleep 1
screen=$(shot forgotten)
check "icons taken away by the shell are gone" \
  test "$(count "$screen" 36x16+986+750 '#FF0000')" -eq 0
"$loader" "$(windows_path "$bin/TrayTool.exe")" taskbar-created </dev/null >/dev/null 2>&1
sleep 2
screen=$(shot recreated)
check "TaskbarCreated brings both icons back" \
  is_cpu_icon "$screen" "$right_icon"
check "  the RAM icon too" is_ram_icon "$screen" "$left_icon"

echo "== Settings dialog"
menu_item 1014 $config_item
screen=$(shot dialog)
# The dialog sits centred on the desktop: 518 x 170 from (252, 298).
check "the settings item opens the dialog" \
  test "$(count "$screen" 500x150+260+310 '#F5F5F5')" -gt 20000
xdotool mousemove 424 385 click 1  # the threshold's down arrow: 100 becomes 99
sleep 0.5
xdotool mousemove 640 453 click 1  # OK
sleep 1.5
check "OK writes the new threshold" grep -q 'Auto=99' \
  <(iconv -f UTF-16LE -t UTF-8 "$data/TVL.ini" 2>/dev/null)
check "and the dialog closes" \
  test "$(count "$(shot dialog-closed)" 500x150+260+310 '#F5F5F5')" -lt 1000

menu_item 1014 $exit_item
check "Exit through the menu ends the program" tavelo_ends
check "exit writes the display keys" grep -q 'TaskTrayPosition=0' \
  <(iconv -f UTF-16LE -t UTF-8 "$data/TVL.ini" 2>/dev/null)
stop_tavelo

check "with the places swapped Tavelo starts again" \
  start_tavelo $'[Disp]\r\nTaskTrayPosition=1\r\n'
screen=$(shot swapped)
check "the RAM icon, now shown first, sits right" is_ram_icon "$screen" "$right_icon"
check "the CPU icon sits left" is_cpu_icon "$screen" "$left_icon"
stop_tavelo

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
