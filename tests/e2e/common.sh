# Shared by the end-to-end scripts: sourced, not run. Expects bin, loader,
# prefix and shots to be set; TVL.exe runs in the prefix's virtual desktop of
# 1024 x 768 on the current X display.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
export WINEPREFIX=$prefix
export WINEDLLOVERRIDES="mscoree,mshtml=,pdh=n,b"
data="$prefix/drive_c/users/$(id -un)/AppData/Roaming/Orvane Project/TVL"
mkdir -p "$shots"

# The two icon places at the right end of the taskbar of a 1024 x 768 desktop.
left_icon=16x16+986+750
right_icon=16x16+1006+750

passed=0 failed=0
check() {  # check <what> <command...>
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok      $what"
  else failed=$((failed + 1)); echo "FAILED  $what"; fi
}

shot() { import -window root "$shots/$1.png"; echo "$shots/$1.png"; }

# Runs the command until it succeeds, for up to `seconds`. Under emulation
# a menu, a repaint or a file write may take seconds that a fast machine
# never needs, so checks wait for what they look for instead of sleeping.
eventually() {  # eventually <seconds> <command...>
  local until=$(( $(date +%s) + $1 )); shift
  until "$@"; do
    [ "$(date +%s)" -lt "$until" ] || return 1
    sleep 0.3
  done
}
# pixels of one exact colour inside a region of a screenshot
count() { convert "$1" -crop "$2" +repage txt:- | grep -ci "$3"; }
is_cpu_icon() { [ "$(count "$1" "$2" '#FF0000')" -gt 20 ]; }
is_ram_icon() { [ "$(count "$1" "$2" '#00FF00')" -gt 20 ]; }
in_this_prefix() { in_prefix "$prefix" "$1"; }  # in_this_prefix <pattern>
tavelo_runs() { [ -n "$(in_this_prefix 'TVL\.exe')" ]; }
# Whether TVL.exe has ended within 30 seconds.
tavelo_ends() { eventually 30 eval '! tavelo_runs'; }

utf16_file() { printf '\xff\xfe'; printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE; }

start_tavelo() {  # start_tavelo [TVL.ini text] [TVL.dat text]
  rm -rf "$data"
  mkdir -p "$data"
  [ -n "${1:-}" ] && utf16_file "$1" > "$data/TVL.ini"
  [ -n "${2:-}" ] && utf16_file "$2" > "$data/TVL.dat"
  "$loader" "$(windows_path "$bin/TVL.exe")" </dev/null >/dev/null 2>&1 &
  for _ in $(seq 100); do  # the icons show the first loads within a few seconds
    local screen; screen=$(shot waiting)
    is_cpu_icon "$screen" "$left_icon" || is_cpu_icon "$screen" "$right_icon" && return 0
    sleep 0.3
  done
  return 1
}

stop_tavelo() {
  "$loader" taskkill /im TVL.exe </dev/null >/dev/null 2>&1
  tavelo_ends
  /usr/lib/wine/wineserver64 -k </dev/null >/dev/null 2>&1
  /usr/lib/wine/wineserver64 -w </dev/null >/dev/null 2>&1
}

# The top edge of the open menu: the first white row above the taskbar,
# which is white too from y = 748.
menu_top() {
  convert "$(shot menu-open)" -crop 1x340+900+400 +repage txt:- |
    awk -F'[,:]' '/#FFFFFF/ { print $2 + 400; exit }'
}
menu_shows() { [ -n "$(menu_top)" ]; }

# Opens the tray menu on an icon and clicks the item that lies `offset`
# pixels below the menu's top edge; the menu's place depends on the cursor.
# Fails when the menu does not show, or stays open after the click.
menu_item() {  # menu_item <icon x> <offset>
  xdotool mousemove "$1" 758 click 3
  eventually 30 menu_shows || { echo "        the tray menu did not open"; return 1; }
  xdotool mousemove 900 $(( $(menu_top) + $2 )) click 1
  eventually 30 eval '! menu_shows' || { echo "        the tray menu stayed open"; return 1; }
}
stop_item=56     # 停止(S)
config_item=110  # 設定(C)
exit_item=200    # 終了(X)
