#!/usr/bin/env bash
# End-to-end tests of Tavelo's tray icons: TVL.exe in the prefix's virtual
# desktop of 1024 x 768 on the current X display, driven with xdotool and checked in screenshots
# and in its settings file. The CPU load comes from the scripted pdh.dll.
# Usage: tray.sh <folder of TVL.exe and TrayTool.exe> <Wine loader> <prefix> <screenshot folder>
set -uo pipefail
bin=$1 loader=$2 prefix=$3 shots=$4
export TVL_PDH_VALUES=88  # red on the digital face; the memory load here is low, so green

source "$(dirname "$0")/common.sh"

# What a fresh screenshot, saved under the name, shows.
both_icons_show() {  # both_icons_show <name> <CPU icon place> <RAM icon place>
  local screen; screen=$(shot "$1")
  is_cpu_icon "$screen" "$2" && is_ram_icon "$screen" "$3"
}
menu_opened() { test "$(count "$(shot menu)" 200x200+820+540 '#FFFFFF')" -gt 20000; }
both_stopped() {
  local screen; screen=$(shot stopped)
  test "$(count "$screen" "$left_icon" '#E73921')" -gt 5 -a "$(count "$screen" "$right_icon" '#E73921')" -gt 5
}
no_icons() { test "$(count "$(shot forgotten)" 36x16+986+750 '#FF0000')" -eq 0; }
# The dialog sits centred on the desktop: 518 x 170 from (252, 298).
dialog_pixels() { count "$(shot "$1")" 500x150+260+310 '#F5F5F5'; }
dialog_shows() { test "$(dialog_pixels dialog)" -gt 20000; }
dialog_gone() { test "$(dialog_pixels dialog-closed)" -lt 1000; }
# Whether TVL.exe has a library of that name mapped.
tavelo_loaded() { grep -qi "/$1\$" "/proc/$(in_this_prefix 'TVL\.exe' | head -1)/maps"; }
ini_has() { iconv -f UTF-16LE -t UTF-8 "$data/TVL.ini" 2>/dev/null | tr -d '\r' | grep -q "$1"; }

echo "== Tray icons"
check "Tavelo starts with both icons in the tray" start_tavelo
screen=$(shot started)
check "the CPU icon, shown first, sits right of the RAM icon" is_cpu_icon "$screen" "$right_icon"
check "the RAM icon sits left" is_ram_icon "$screen" "$left_icon"
check "at rest it has not loaded the common controls" eval '! tavelo_loaded comctl32.dll'

xdotool mousemove 1014 758 click 3
check "a right click opens the menu above the icon" eventually 30 menu_opened
xdotool key Escape
eventually 30 eval '! menu_shows'

menu_item 1014 $stop_item
check "Stop shows the stopped badge on both icons" eventually 30 both_stopped
menu_item 1014 $stop_item  # running again
eventually 30 both_icons_show running "$right_icon" "$left_icon"

"$loader" "$(windows_path "$bin/TrayTool.exe")" forget </dev/null >/dev/null 2>&1
check "icons taken away by the shell are gone" eventually 30 no_icons
"$loader" "$(windows_path "$bin/TrayTool.exe")" taskbar-created </dev/null >/dev/null 2>&1
check "TaskbarCreated brings both icons back" \
  eventually 30 both_icons_show recreated "$right_icon" "$left_icon"

echo "== Settings dialog"
menu_item 1014 $config_item
check "the settings item opens the dialog" eventually 30 dialog_shows
check "whose arrows bring the common controls" tavelo_loaded comctl32.dll
xdotool mousemove 424 385 click 1  # the threshold's down arrow: 100 becomes 99
sleep 0.5
xdotool mousemove 640 453 click 1  # OK
check "OK writes the new threshold" eventually 30 ini_has '^Auto=99$'
check "and the dialog closes" eventually 30 dialog_gone

menu_item 1014 $exit_item
check "Exit through the menu ends the program" tavelo_ends
check "exit writes the display keys" ini_has '^TaskTrayPosition=0$'
stop_tavelo

check "with the places swapped Tavelo starts again" \
  start_tavelo $'[Disp]\r\nTaskTrayPosition=1\r\n'
check "the RAM icon, now shown first, sits right, and the CPU icon left" \
  eventually 30 both_icons_show swapped "$left_icon" "$right_icon"
"$loader" "$(windows_path "$bin/TrayTool.exe")" forget </dev/null >/dev/null 2>&1
eventually 30 no_icons
"$loader" "$(windows_path "$bin/TrayTool.exe")" taskbar-created </dev/null >/dev/null 2>&1
check "TaskbarCreated brings them back in the swapped order" \
  eventually 30 both_icons_show swapped-recreated "$left_icon" "$right_icon"
stop_tavelo

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
