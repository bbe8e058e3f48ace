# Shared settings of the build, test and run scripts; sourced, not run.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$here/build}")
# Where the test runs make their Wine prefixes; the emulated machine keeps
# them in its memory rather than in the host's folder.
wine_dir=${TAVELO_WINE_DIR:-$build/wine}

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Some hosts run 64-bit user code only: there the 32-bit Wine loader cannot
# start, so 32-bit Windows programs cannot run at all, under WOW64 or not.
can_run_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The Windows targets whose programs this machine can run under Wine.
runnable_arch() {
  if can_run_32bit; then echo i686; else echo x86_64; fi
}

wine_loader() {  # wine_loader <i686|x86_64>
  if [ "$1" = i686 ]; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}

wineserver_binary() {
  if can_run_32bit; then echo /usr/lib/wine/wineserver; else echo /usr/lib/wine/wineserver64; fi
}

log() { printf '\n== %s\n' "$*"; }

# A host path as Wine's drive Z: shows it.
windows_path() { echo "Z:${1//\//\\}"; }

# in_prefix <prefix> <pattern>: the processes matching the pattern that run
# in that Wine prefix, not in one of another run on the same machine.
in_prefix() {
  local candidate
  for candidate in $(pgrep -f "$2"); do
    grep -qz "^WINEPREFIX=$1\$" "/proc/$candidate/environ" 2>/dev/null && echo "$candidate"
  done
}

# make_prefix <folder> <win64|win32>: a fresh Wine prefix with Japanese font
# substitutes and a virtual desktop, ready for Tavelo. Without a window
# manager every hide of a visible window (the tray's among them) blocks for
# about two seconds; in a virtual desktop it takes milliseconds.
make_prefix() {
  local prefix=$1 kind=$2 loader
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  if [ "$kind" = win32 ]; then loader=/usr/lib/wine/wine; else loader=/usr/lib/wine/wine64; fi
  WINEARCH=$kind WINEPREFIX=$prefix "$loader" wineboot -i </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix /usr/lib/wine/wineserver64 -w
  # regedit reads the full-width font names right only from a UTF-16LE file.
  local reg=$prefix/fonts.reg
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS UI Gothic"="VL PGothic"
"MS Gothic"="VL Gothic"
"MS PGothic"="VL PGothic"
"ＭＳ ゴシック"="VL Gothic"
"ＭＳ Ｐゴシック"="VL PGothic"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
  } > "$reg"
  WINEPREFIX=$prefix "$loader" regedit /S "$(WINEPREFIX=$prefix "$loader" winepath -w "$reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix /usr/lib/wine/wineserver64 -w
}

# The folder where a program of that target finds system DLLs in a prefix.
system_folder() {  # system_folder <prefix> <win64|win32> <i686|x86_64>
  if [ "$2" = win64 ] && [ "$3" = i686 ]; then echo "$1/drive_c/windows/syswow64"
  else echo "$1/drive_c/windows/system32"; fi
}

# start_xvfb: a private X display, exported as DISPLAY; its pid in xvfb_pid.
# TAVELO_DISPLAYS lists the display numbers to try, for machines whose
# displays are shared out; 91 to 120 by default. Test runs side by side may
# try the same number at once: the display is ours only when the lock file
# holds our server's pid.
start_xvfb() {
  local display
  for display in ${TAVELO_DISPLAYS:-$(seq 91 120)}; do
    [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      if [ -e "/tmp/.X11-unix/X$display" ] &&
         [ "$(tr -d ' \n' < "/tmp/.X$display-lock" 2>/dev/null)" = "$xvfb_pid" ]; then
        export DISPLAY=":$display"
        return 0
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
  done
  echo "No free X display" >&2
  return 1
}

# start_wineserver <prefix>: a persistent server, warmed up, so that Wine's
# background processes don't hold the output of the first test.
start_wineserver() {
  WINEPREFIX=$1 /usr/lib/wine/wineserver64 -p </dev/null >/dev/null 2>&1 || true
  WINEPREFIX=$1 /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_wineserver() {
  WINEPREFIX=$1 /usr/lib/wine/wineserver64 -k </dev/null >/dev/null 2>&1 || true
}

# stop_prefix_and_display <prefix>: the end of a run that made both.
stop_prefix_and_display() {
  stop_wineserver "$1"
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
