#!/usr/bin/env bash
# Fuzzes the settings-file codecs natively with libFuzzer for a while.
# Usage: fuzz.sh [seconds, default 60]
set -euo pipefail
source "$(dirname "$0")/common.sh"

seconds=${1:-60}
out=$build/fuzz
mkdir -p "$out/corpus"
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -I"$here/src" \
  "$here/tests/fuzz/IniFuzz.cpp" "$here/src/app/IniDocument.cpp" \
  "$here/src/app/ProgramList.cpp" "$here/src/app/TextEncoding.cpp" -o "$out/ini-fuzz"
"$out/ini-fuzz" -max_total_time="$seconds" -print_final_stats=1 "$out/corpus"
