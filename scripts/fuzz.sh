#!/usr/bin/env bash
# Fuzzes the code that reads files natively with libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer: the settings-file codecs, then the picture
# decoders, whose libraries are built instrumented for it.
# Usage: fuzz.sh [seconds for each target, default 60]
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$here/scripts/install-packages.sh" clang libclang-rt-14-dev

seconds=${1:-60}
out=$build/fuzz
flags=(-std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -I"$here/src")
mkdir -p "$out/corpus" "$out/picture-corpus"

clang++ "${flags[@]}" "$here/tests/fuzz/IniFuzz.cpp" "$here/src/app/IniDocument.cpp" \
  "$here/src/app/ProgramList.cpp" "$here/src/app/TextEncoding.cpp" -o "$out/ini-fuzz"
"$out/ini-fuzz" -max_total_time="$seconds" -print_final_stats=1 "$out/corpus"

"$here/scripts/build-deps.sh" "$build" fuzz
deps=$build/deps/fuzz
clang++ "${flags[@]}" -I"$deps/include" "$here/tests/fuzz/PictureFuzz.cpp" \
  "$here"/src/framework/{BmpDecoder,JpegDecoder,PngDecoder,PictureDecoders,PictureReducer}.cpp \
  "$deps/lib/libpng16.a" "$deps/lib/libjpeg.a" -lz -o "$out/picture-fuzz"
# The committed seeds stay as they are; what the fuzzer finds goes to the build folder.
# No single allocation may reach 512 MB: a few bytes must never claim that much.
"$out/picture-fuzz" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 -malloc_limit_mb=512 \
  "$out/picture-corpus" "$here/tests/fuzz/pictures"
