#!/usr/bin/env bash
# End-to-end test of the download: the TVL.exe unpacked from the zip that
# `make dist` left in the build folder starts from its own folder with both
# icons in the tray, and ends through its menu.
# Usage: download.sh <folder of the build's programs> <Wine loader> <prefix> <screenshot folder>
set -uo pipefail
built=$(realpath "$1") loader=$2 prefix=$3 shots=$4
export TVL_PDH_VALUES=88  # red on the digital face, which start_tavelo looks for
# The build folder holds the programs two levels down: <build>/<target>/bin.
zip_file=$(ls "$(dirname "$(dirname "$built")")"/Tavelo-*.zip 2>/dev/null | head -n 1)
bin=$prefix/drive_c/Tavelo-download
rm -rf "$bin"

source "$(dirname "$0")/common.sh"

echo "== The download"
check "the zip is there" test -n "$zip_file"
unzip -q "$zip_file" -d "$bin"
check "the unpacked TVL.exe starts with both icons in the tray" start_tavelo
menu_item 1014 $exit_item
check "and ends through its menu" tavelo_ends
stop_tavelo

echo "download: $passed passed, $failed failed"
[ $failed -eq 0 ]
