#!/usr/bin/env bash
# End-to-end tests of Tavelo's panel window: TVL.exe in the prefix's virtual
# desktop, driven with xdotool and checked in screenshots and in TVL.ini.
# Last, the desktop is made smaller under the panel, as a real change of
# resolution, and the panel must come back onto it.
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

# Checks of a fresh screenshot, saved under the name.
panel_normal() {
  local screen; screen=$(shot panel-normal-default)
  is_light_grey "$screen" 182 161 && test "$(count "$screen" 85x64+100+100 '#00FFFF')" -gt 20
}
texts_at() {  # texts_at <name> <left> <top>: the small panel's texts stand there
  test "$(count "$(shot "$1")" "155x23+$2+$3" '#00FFFF')" -gt 20
}
no_texts_at() { test "$(count "$(shot "$1")" "155x23+$2+$3" '#00FFFF')" -eq 0; }
desktop_at() { is_desktop "$(shot "$1")" "$2" "$3"; }
light_grey_at() { is_light_grey "$(shot "$1")" "$2" "$3"; }
magenta_at() { is_magenta "$(shot "$1")" "$2" "$3"; }
# The panel's own menu, opened at the cursor, shows white there.
panel_menu_at() { test "$(count "$(shot panel-menu)" "100x100+$1+$2" '#FFFFFF')" -gt 5000; }
picture_dialog_shows() { "$loader" "$(windows_path "$bin/TrayTool.exe")" dialog </dev/null >/dev/null 2>&1; }

echo "== Panel window"
check "Tavelo starts with its panel" start_tavelo
eventually 30 panel_normal
screen=$(shot panel-normal-default)
check "the panel stands at 100,100 with the default picture" is_light_grey "$screen" 182 161
check "  and its captions are drawn" test "$(count "$screen" 85x64+100+100 '#00FFFF')" -gt 20
check "  on black label backgrounds" test "$(pixel "$screen" 140 108)" = '#000000'
check "  and the CPU bar reaches red" test "$(count "$screen" 20x13+166+119 '#FF0000')" -gt 5

xdotool mousemove 170 150 click --repeat 2 --delay 100 1
sleep 0.5
xdotool mousemove 600 400
check "a double click gives the small layout of 155 x 23" \
  eventually 30 light_grey_at panel-small-default 252 102
screen=$(shot panel-small-default)
check "  with both values in one row" test "$(count "$screen" 155x23+100+100 '#00FFFF')" -gt 20
check "  and the lower part gone" is_desktop "$screen" 182 161

xdotool mousemove 150 110 mousedown 1
sleep 0.3; xdotool mousemove 200 200; sleep 0.3; xdotool mousemove 306 405; sleep 0.3
xdotool mouseup 1
sleep 0.5
xdotool mousemove 600 600
check "dragging moves the panel" eventually 30 texts_at panel-dragged 256 395
check "  away from where it stood" no_texts_at panel-dragged 100 100

# The panel's menu opens at the cursor; 透過(U) lies 183 pixels below it.
xdotool mousemove 300 400 click 3
eventually 30 panel_menu_at 300 400 || echo "        the panel's menu did not open"
xdotool mousemove 340 583 click 1
sleep 1
xdotool mousemove 700 600
check "the text-only state leaves only the texts" \
  eventually 30 desktop_at panel-text-only 300 399
screen=$(shot panel-text-only)
check "  with its texts where they were" texts_at panel-text-only 256 395
check "  and no black label left" test "$(count "$screen" 155x23+256+395 '#000000')" -lt 5

menu_item 1014 $panel_item
check "unticking the panel item closes the panel" eventually 30 no_texts_at panel-closed 256 395
check "  and it wrote its settings" eventually 30 ini_has '^SmallLeft=256$'
check "  the small layout" ini_has '^Small=1$'
check "  and the text-only state" ini_has '^SmallP=1$'
menu_item 1014 $panel_item
check "ticking it again reopens the panel where it stood" \
  eventually 30 texts_at panel-reopened 256 395
check "  small and reduced to its texts, as written" desktop_at panel-reopened 300 399

convert -size 120x90 'xc:rgb(200,40,160)' "$pictures/magenta.jpg"
xdotool mousemove 300 405
check "the mouse over the texts shows the whole panel" \
  eventually 30 light_grey_at panel-hover 409 397
xdotool click 3
eventually 30 panel_menu_at 300 405 || echo "        the panel's menu did not open"
xdotool mousemove 340 606 click 1  # 背景画像の選択(P)
eventually 30 picture_dialog_shows || echo "        the picture dialog did not show"
shot panel-picture-dialog >/dev/null
xdotool type 'magenta.jpg'
xdotool key Return
sleep 1
xdotool mousemove 275 405
check "a picture chosen in the dialog shows" \
  eventually 30 magenta_at panel-small-chosen-picture 409 397

menu_item 1014 $exit_item
check "exit keeps the chosen picture" eventually 30 ini_has '^Picture=C:.*Pictures.magenta\.jpg$'
stop_tavelo

echo "== The screen made smaller under the panel"
tray_tool() { "$loader" "$(windows_path "$bin/TrayTool.exe")" "$@" </dev/null >/dev/null 2>&1; }
panel_texts_in() {  # panel_texts_in <name> <region>
  test "$(count "$(shot "$1")" "$2" '#00FFFF')" -gt 20
}
start_tavelo $'[Panel]\r\nLeft=900\r\nTop=650\r\n'
check "the panel shows at the bottom right" eventually 30 panel_texts_in panel-bottom-right 85x64+900+650
check "Wine's desktop can be made 800 x 600" tray_tool resolution 800 600
check "the panel comes back onto the smaller desktop" \
  eventually 30 panel_texts_in panel-on-smaller-desktop 800x600+0+0
tray_tool resolution 1024 768
stop_tavelo

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
