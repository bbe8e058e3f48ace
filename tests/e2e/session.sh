#!/usr/bin/env bash
# End-to-end test of the end of a session: TVL.exe in the prefix's virtual
# desktop, its icon order and CPU face changed from the tray menu and its
# panel dragged, then Wine ends the session as a logoff would. TVL.ini must
# hold the new values, whole, and the program must have ended by itself.
# Then the session ends while the settings dialog is open with a change not
# yet confirmed: the program ends all the same, and the change is dropped.
# Usage: session.sh <folder of TVL.exe> <Wine loader> <prefix> <screenshot folder>
set -uo pipefail
bin=$1 loader=$2 prefix=$3 shots=$4
export TVL_PDH_VALUES=88
source "$(dirname "$0")/common.sh"

# Where the tray menu's cascades open on a 1024 x 768 desktop, below the
# menu's top edge and at the columns the screenshots showed.
display_item=141    # タスクトレイアイコンの表示(T), opens its cascade to the left
order_item=(650 746)     # タスクトレイアイコンの表示位置を入れ替え(D)
cpu_item=(650 701)       # CPU, opens its faces to the right
level_meter_item=(884 737)  # レベルメーター

# Whether an open menu shows white around the point.
menu_at() { test "$(count "$(shot session-menu)" "40x8+$(( $1 - 20 ))+$(( $2 - 4 ))" '#FFFFFF')" -gt 200; }
display_menu() {
  xdotool mousemove 1014 758 click 3
  eventually 30 menu_shows || echo "        the tray menu did not open"
  xdotool mousemove 900 $(( $(menu_top) + display_item ))
  eventually 30 menu_at "${order_item[@]}" || echo "        the display cascade did not open"
}
click_at() { xdotool mousemove "$1" "$2" click 1; }
ini_text() { iconv -f UTF-16 -t UTF-8 "$data/TVL.ini" 2>/dev/null | tr -d '\r'; }
panel_shows() { test "$(count "$(shot session-panel)" 85x64+100+100 '#00FFFF')" -gt 20; }
ram_icon_first() { is_ram_icon "$(shot session-order)" "$right_icon"; }
level_meter_shows() { test "$(count "$(shot session-face)" "$left_icon" '#808080')" -gt 20; }

echo "== End of the session"
check "Tavelo starts with its panel and both icons" start_tavelo
eventually 30 panel_shows

display_menu
click_at "${order_item[@]}"
check "the order item puts the RAM icon first, at the right" eventually 30 ram_icon_first

display_menu
xdotool mousemove "${cpu_item[@]}"
eventually 30 menu_at "${level_meter_item[@]}" || echo "        the faces cascade did not open"
click_at "${level_meter_item[@]}"
check "the level meter shows on the CPU icon" eventually 30 level_meter_shows

xdotool mousemove 150 110 mousedown 1
sleep 0.3; xdotool mousemove 200 200; sleep 0.3; xdotool mousemove 306 405; sleep 0.3
xdotool mouseup 1
sleep 1
check "nothing is written before the session ends" test ! -e "$data/TVL.ini"

"$loader" wineboot --end-session </dev/null >/dev/null 2>&1
check "the end of the session ends Tavelo without being killed" tavelo_ends
check "TVL.ini starts with its byte-order mark" \
  test "$(head -c 2 "$data/TVL.ini" | od -An -tx1 | tr -d ' ')" = fffe
# A drag in the normal layout keeps that layout's place too.
expected=$'[Panel]\nNormalTop=395\nNormalLeft=256\nSmallTop=-1\nSmallLeft=-1\nTop=395\nLeft=256\n'
expected+=$'MostTop=0\nSmall=0\nSmallP=0\nTrans=10\n\n[Picture]\nPicture=\n\n[Disp]\nTaskTray=1\n'
expected+=$'Panel=1\nTaskTrayPosition=1\nTaskTrayCPU=2\nTaskTrayRAM=0'
check "TVL.ini holds the panel's place, the order and the face, whole" \
  test "$(ini_text)" = "$expected"
[ "$(ini_text)" = "$expected" ] || ini_text | sed 's/^/        /'
stop_tavelo

echo "== End of the session with the settings dialog open"
# The dialog sits centred on the desktop: 518 x 170 from (252, 298).
dialog_shows() { test "$(count "$(shot session-dialog)" 500x150+260+310 '#F5F5F5')" -gt 20000; }
start_tavelo $'[Disp]\r\nTaskTrayCPU=1\r\n'
menu_item 1014 $config_item
check "the settings dialog opens" eventually 30 dialog_shows
xdotool mousemove 424 385 click 1  # the threshold's down arrow: 100 becomes 99, not confirmed
sleep 0.5
"$loader" wineboot --end-session </dev/null >/dev/null 2>&1
check "the end of the session ends Tavelo with its dialog open" tavelo_ends
expected=$'[Disp]\nTaskTrayCPU=1\nTaskTray=1\nPanel=1\nTaskTrayPosition=0\nTaskTrayRAM=0\n\n'
expected+=$'[Panel]\nNormalTop=-1\nNormalLeft=-1\nSmallTop=-1\nSmallLeft=-1\nTop=100\nLeft=100\n'
expected+=$'MostTop=0\nSmall=0\nSmallP=0\nTrans=10\n\n[Picture]\nPicture='
check "TVL.ini holds what Exit writes, and not the dialog's change" test "$(ini_text)" = "$expected"
[ "$(ini_text)" = "$expected" ] || ini_text | sed 's/^/        /'
stop_tavelo

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
