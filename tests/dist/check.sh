#!/usr/bin/env bash
# Checks what `make dist` made: the zip's exact contents, stripped programs
# carrying the version, the icon (TVL.exe only) and their manifests, debug
# information beside the zip, and Vessra.exe starting from the unpacked
# folder under Wine. The shipped TVL.exe is 32-bit: its start from the
# unpacked folder is checked with the Windows tests (tests/e2e/download.sh).
# Usage: check.sh   (BUILD_DIR as for make)
set -uo pipefail
source "$(dirname "$0")/../../scripts/common.sh"

passed=0 failed=0
check() {  # check <what> <command...>
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok      $what"
  else failed=$((failed + 1)); echo "FAILED  $what"; fi
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/i686/CMakeCache.txt")
zip_file=$build/Tavelo-$version.zip
debug=$build/Tavelo-$version-debug
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT

echo "== The download, Tavelo $version"
check "the zip is named after the version" test -n "$version" -a -f "$zip_file"
check "it holds exactly the two programs and the read-me" \
  test "$(unzip -Z1 "$zip_file" | LC_ALL=C sort | tr '\n' ' ')" = "ReadMe.txt TVL.exe Vessra.exe "
unzip -q "$zip_file" -d "$unpacked"

# Each program's resources, read once into a text file beside it.
for name in TVL.exe Vessra.exe; do
  python3 "$here/tests/dist/resources.py" "$unpacked/$name" > "$unpacked/$name.txt"
done
has() { grep -qxF "$2" "$unpacked/$1.txt"; }
has_match() { grep -q "$2" "$unpacked/$1.txt"; }
has_format() { local header; header=$("$2-objdump" -f "$unpacked/$1"); grep -q "file format $3" <<<"$header"; }
sections() { "$2-objdump" -h "$unpacked/$1"; }
stripped() { test "$(sections "$@" | grep -cE ' \.debug_| \.stab')" -eq 0; }
linked_to_debug() { local all; all=$(sections "$@"); grep -q ' \.gnu_debuglink' <<<"$all" && test -s "$debug/$1.debug"; }

for program in "TVL.exe i686-w64-mingw32 pei-i386 Tavelo CPU and memory monitor" \
               "Vessra.exe x86_64-w64-mingw32 pei-x86-64 Tavelo memory companion"; do
  read -r name triplet format description <<<"$program"
  echo "-- $name"
  check "is a $format program" has_format "$name" "$triplet" "$format"
  check "is stripped" stripped "$name" "$triplet"
  check "its debug information lies beside the zip, linked" linked_to_debug "$name" "$triplet"
  for line in "CompanyName=Orvane Project" "ProductName=Tavelo" "FileDescription=$description" \
              "FileVersion=$version" "ProductVersion=$version" "FixedFileVersion=$version.0" \
              "OriginalFilename=$name" "InternalName=${name%.exe}"; do
    check "version resource: $line" has "$name" "$line"
  done
  check "copyright" has_match "$name" '^LegalCopyright=Copyright (C) [0-9]* Orvane Project$'
  check "manifest: asInvoker" has "$name" 'Manifest:<requestedExecutionLevel level="asInvoker" uiAccess="false"/>'
  for os in 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
            1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    check "manifest: supported OS $os" has "$name" "Manifest:<supportedOS Id=\"{$os}\"/>"
  done
  check "manifest: no DPI awareness" test "$(grep -ci dpiaware "$unpacked/$name.txt")" -eq 0
done
# Common Controls 6 would take the dialogs' standard controls into comctl32,
# which would then be loaded at start.
for name in TVL.exe Vessra.exe; do
  check "$name asks for no Common Controls 6" test "$(grep -c Common-Controls "$unpacked/$name.txt")" -eq 0
done
check "TVL.exe has its icon in 16, 32, 48 and 256 pixels" has TVL.exe "IconSizes=16,32,48,256"
check "Vessra.exe has no icon" test "$(grep -c IconSizes "$unpacked/Vessra.exe.txt")" -eq 0
# What a resident TVL.exe loads at start: the common dialogs and the common
# controls come only with a dialog, a tooltip or the up-down arrows.
imports() { i686-w64-mingw32-objdump -p "$unpacked/TVL.exe" | sed -n 's/^\tDLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' '; }
check "TVL.exe imports only the libraries of its resident work" \
  test "$(imports)" = "GDI32.DLL IMM32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL "
# Sections laid out as in memory, so that Wine maps the program rather than copying it.
check "TVL.exe is page-aligned in its file" \
  grep -qP '^FileAlignment\s+00001000$' <(i686-w64-mingw32-objdump -p "$unpacked/TVL.exe")

echo "-- ReadMe.txt"
readme() { sed '1s/^\xef\xbb\xbf//' "$unpacked/ReadMe.txt" | tr -d '\r'; }
check "starts with the name and version" test "$(readme | head -1)" = "Tavelo $version"
for text in '%APPDATA%\Orvane Project\TVL\' 'TVL.ini' 'TVL.dat' 'Vessra.exe' '設定の保存場所' 'To uninstall'; do
  check "mentions $text" grep -qF -- "$text" "$unpacked/ReadMe.txt"
done

echo "-- Vessra.exe under Wine, from the unpacked folder"
prefix=$wine_dir/dist
[ -d "$prefix/drive_c" ] || make_prefix "$prefix" win64 >/dev/null
start_wineserver "$prefix"
WINEPREFIX=$prefix /usr/lib/wine/wine64 "$unpacked/Vessra.exe" 16 </dev/null >/dev/null 2>&1
check "frees 16 MB and exits with 0" test $? -eq 0
WINEPREFIX=$prefix /usr/lib/wine/wine64 "$unpacked/Vessra.exe" </dev/null >/dev/null 2>&1
check "without an amount exits with 1" test $? -eq 1
stop_wineserver "$prefix"
echo "(the 32-bit TVL.exe starts from the unpacked folder in tests/e2e/download.sh)"

echo "dist: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
