#!/usr/bin/env bash
# End-to-end tests of Tavelo's panel window: TVL.exe in the prefix's virtual
# desktop, driven with xdotool and checked in screenshots and in TVL.ini.
# Usage: panel.sh <folder of TVL.exe> <Wine loader> <prefix> <screenshot folder>
set -uo pipefail
bin=$1 loader=$2 prefix=$3 shots=$4
export TVL_PDH_VALUES=88  # the CPU text and bar reach red
source "$(dirname "$0")/common.sh"

pictures="$prefix/drive_c/users/$(id -un)/Pictures"
panel_item=98  # パネルウィンドウ(P) in the tray menu, below its top edge

# The colour of one pixel of a screenshot, as #RRGGBB.
pixel() { convert "$1" -crop "1x1+$2+$3" +repage txt:- | grep -o '#[0-9A-F]\{6\}' | head -1; }
# Whether every channel of the colour lies within the bounds (two hex digits each).
channels_within() {  # channels_within <#RRGGBB> <low> <high>
  local colour=${1#\#} low=$((16#$2)) high=$((16#$3)) i value
  for i in 0 2 4; do
    value=$((16#${colour:$i:2}))
    [ "$value" -ge "$low" ] && [ "$value" -le "$high" ] || return 1
  done
}
is_light_grey() { channels_within "$(pixel "$1" "$2" "$3")" A0 FF; }
is_desktop() {  # neither black nor the panel's picture
  local colour; colour=$(pixel "$1" "$2" "$3")
  [ "$colour" != '#000000' ] && ! channels_within "$colour" A0 FF
}
is_magenta() {  # the chosen picture: rgb(200,40,160), give or take the JPEG's loss
  local colour; colour=$(pixel "$1" "$2" "$3"); colour=${colour#\#}
  [ $((16#${colour:0:2})) -gt 150 ] && [ $((16#${colour:2:2})) -lt 100 ] && [ $((16#${colour:4:2})) -gt 100 ]
}
ini_has() { iconv -f UTF-16LE -t UTF-8 "$data/TVL.ini" 2>/dev/null | tr -d '\r' | grep -q "$1"; }

echo "== Panel window"
check "Tavelo starts with its panel" start_tavelo
sleep 1
screen=$(shot panel-normal-default)
check "the panel stands at 100,100 with the default picture" is_light_grey "$screen" 182 161
check "  and its captions are drawn" test "$(count "$screen" 85x64+100+100 '#00FFFF')" -gt 20
check "  on black label backgrounds" test "$(pixel "$screen" 140 108)" = '#000000'
check "  and the CPU bar reaches red" test "$(count "$screen" 20x13+166+119 '#FF0000')" -gt 5

xdotool mousemove 170 150 click --repeat 2 --delay 100 1
sleep 1.5
xdotool mousemove 600 400
sleep 0.5
screen=$(shot panel-small-default)
check "a double click gives the small layout of 155 x 23" is_light_grey "$screen" 252 102
check "  with both values in one row" test "$(count "$screen" 155x23+100+100 '#00FFFF')" -gt 20
check "  and the lower part gone" is_desktop "$screen" 182 161

xdotool mousemove 150 110 mousedown 1
sleep 0.3; xdotool mousemove 200 200; sleep 0.3; xdotool mousemove 306 405; sleep 0.3
xdotool mouseup 1
sleep 0.5
xdotool mousemove 600 600
sleep 0.5
screen=$(shot panel-dragged)
check "dragging moves the panel" test "$(count "$screen" 155x23+256+395 '#00FFFF')" -gt 20
check "  away from where it stood" test "$(count "$screen" 155x23+100+100 '#00FFFF')" -eq 0

# The panel's menu opens at the cursor; 透過(U) lies 183 pixels below it.
xdotool mousemove 300 400 click 3
sleep 1
shot panel-menu >/dev/null
xdotool mousemove 340 583 click 1
sleep 1
xdotool mousemove 700 600
sleep 1
screen=$(shot panel-text-only)
check "the text-only state leaves only the texts" test "$(count "$screen" 155x23+256+395 '#00FFFF')" -gt 20
check "  with the desktop showing through the colour-key hole" is_desktop "$screen" 300 399
check "  where the black label was" test "$(count "$screen" 155x23+256+395 '#000000')" -lt 5

menu_item 1014 $panel_item
screen=$(shot panel-closed)
check "unticking the panel item closes the panel" \
  test "$(count "$screen" 155x23+256+395 '#00FFFF')" -eq 0
check "  and it wrote its settings" ini_has '^SmallLeft=256$'
check "  the small layout" ini_has '^Small=1$'
check "  and the text-only state" ini_has '^SmallP=1$'
menu_item 1014 $panel_item
screen=$(shot panel-reopened)
check "ticking it again reopens the panel where it stood" \
  test "$(count "$screen" 155x23+256+395 '#00FFFF')" -gt 20
check "  small and reduced to its texts, as written" is_desktop "$screen" 300 399

convert -size 120x90 'xc:rgb(200,40,160)' "$pictures/magenta.jpg"
xdotool mousemove 300 405
sleep 0.7
check "the mouse over the texts shows the whole panel" is_light_grey "$(shot panel-hover)" 409 397
xdotool click 3
sleep 1
xdotool mousemove 340 606 click 1  # 背景画像の選択(P)
sleep 2.5
shot panel-picture-dialog >/dev/null
xdotool type 'magenta.jpg'
xdotool key Return
sleep 1.5
xdotool mousemove 275 405
sleep 1
screen=$(shot panel-small-chosen-picture)
check "a picture chosen in the dialog shows" is_magenta "$screen" 409 397

menu_item 1014 $exit_item
check "exit keeps the chosen picture" ini_has '^Picture=C:.*Pictures.magenta\.jpg$'
stop_tavelo

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
