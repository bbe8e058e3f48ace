#!/usr/bin/env bash
# Makes the download: Tavelo-<version>.zip in the build folder with the
# 32-bit TVL.exe, the 64-bit Vessra.exe, both stripped, and the read-me.
# Their debug information stays beside the zip, in Tavelo-<version>-debug/.
# Two runs of one commit give the same programs and the same zip: the
# programs carry no link time, and the zip fixed times and sorted entries.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# zip packs; unzip and python3 are for tests/dist/check.sh, which reads it.
"$here/scripts/install-packages.sh" zip unzip python3
"$here/scripts/build.sh" lean

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/i686/CMakeCache.txt")
[ -n "$version" ] || { echo "No version in the i686 build's cache" >&2; exit 1; }
name=Tavelo-$version
stage=$build/dist/$name
debug=$build/$name-debug
zip_file=$build/$name.zip
# The commit's own time, so that the same commit gives the same zip.
stamp=$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 315532800)
# objcopy and strip write a time into the programs' headers: this one.
export SOURCE_DATE_EPOCH=$stamp

rm -rf "$stage" "$debug" "$zip_file"
mkdir -p "$stage" "$debug"

ship() {  # ship <triplet> <built program>
  local triplet=$1 program=$2 file
  file=$(basename "$program")
  # The build keeps each program's debug information beside it already.
  cp "$program.debug" "$debug/$file.debug"
  "$triplet-strip" --strip-all --remove-section=.gnu_debuglink -o "$stage/$file" "$program"
  # Run from the debug folder, so that the link names the file alone.
  (cd "$debug" && "$triplet-objcopy" --add-gnu-debuglink="$file.debug" "$stage/$file")
}

log "Packing $name"
ship i686-w64-mingw32 "$build/i686/bin/TVL.exe"
ship x86_64-w64-mingw32 "$build/x86_64/bin/Vessra.exe"
# Windows' own Notepad reads Japanese text right with a byte-order mark and CRLF.
{ printf '\xef\xbb\xbf'; sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$here/dist/ReadMe.txt.in"; } \
  > "$stage/ReadMe.txt"

chmod 644 "$stage"/* "$debug"/*
touch -d "@$stamp" "$stage"/* "$debug"/*
(cd "$stage" && LC_ALL=C ls | TZ=UTC zip -q -X -D "$zip_file" -@)

echo "$zip_file ($(stat -c %s "$zip_file") bytes)"
echo "debug information: $debug"
