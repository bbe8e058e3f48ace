#!/usr/bin/env bash
# Prints what having Tavelo running costs a user, beside a floor program of
# the same kind (tests/bench/FloorTray.cpp): the start-up until both icons
# are in the tray, the CPU time of the program and of all the prefix's
# processes, and the program's private memory, with where that memory lies.
# Tavelo runs twice per round: with its panel hidden, the like-for-like
# pair with the floor, and with its panel shown, as it starts by default.
# Each round starts each program afresh, lets it settle, then measures it
# for TAVELO_RESIDENT_SECONDS (60 by default); TAVELO_BENCH_ROUNDS rounds
# (5 by default). All run in one prefix with the same scripted pdh.dll:
# Wine's processor counter always reads 0, which would leave the icons
# unchanged. With TAVELO_EMULATED_MACHINE set, times are printed only as
# ratios, since the machine's clock runs at the emulator's pace.
# Usage: resident-cost.sh <i686|x86_64>
set -uo pipefail
source "$(dirname "$0")/common.sh"

arch=$1
bin=$build/$arch/bin
loader=$(wine_loader "$arch")
prefix=$wine_dir/resident-cost
export WINEPREFIX=$prefix
# Entries are separated by ';'.
export WINEDLLOVERRIDES="mscoree,mshtml=;pdh=n,b"
# A load that changes at every read, the same for every program.
TVL_PDH_VALUES=$(seq 0 299 | awk '{ print ($1 * 37) % 101 }' | paste -sd,)
export TVL_PDH_VALUES
rounds=${TAVELO_BENCH_ROUNDS:-5}
resident_seconds=${TAVELO_RESIDENT_SECONDS:-60}
settle_seconds=5
settings=$prefix/drive_c/users/$(id -un)/AppData/Roaming/Orvane\ Project/TVL
work=$(mktemp -d)

xvfb_pid=
trap 'stop_prefix_and_display "$prefix"; rm -rf "$work"' EXIT

windows_tool() {  # windows_tool <program in bin> <arguments...>
  "$loader" "$(windows_path "$bin/$1")" "${@:2}" </dev/null
}

# cpu_ticks <pid...>: their user and system time together, in clock ticks.
cpu_ticks() {
  local pid
  for pid in "$@"; do cat "/proc/$pid/stat" 2>/dev/null; done |
    # The fields after the name, which may hold spaces: utime is the 12th.
    awk '{ sub(/.*\) /, ""); total += $12 + $13 } END { print total + 0 }'
}

prefix_processes() { in_prefix "$prefix" .; }

# Tavelo reads its settings at each start; without a settings file it
# shows its panel.
tavelo_settings() {  # tavelo_settings <hidden|shown>
  rm -rf "$settings"
  [ "$1" = hidden ] || return 0
  mkdir -p "$settings"
  { printf '\xff\xfe'; printf '[Disp]\r\nPanel=0\r\n' | iconv -f UTF-8 -t UTF-16LE; } >"$settings/TVL.ini"
}

# Sorts each piece of a process's memory, as /proc/<pid>/smaps lists it,
# into a category by its address, from what the process itself reports
# (MemoryMap's lines, first input) and from smaps (second input). A piece
# counts its written pages, Private_Dirty + Swap, as private memory does.
# Prints "<category>\t<KiB>" per piece within one category, and for a
# mapping that spans several (Linux merges neighbouring allocations of like
# protection): "split\t<first page>\t<pages>\t<KiB>\t<category>@<first
# page>@<end page>;..." for split_by_pages.
classify_awk='
  function hex(text,   value, i) {
    value = 0
    for (i = 1; i <= length(text); i++) value = value * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
    return value
  }
  function windows_category(r,   what) {
    if (type[r] == "image") {
      if (!(allocation[r] in module)) return "dll:unnamed-image"
      return module[allocation[r]] == program ? "image" : "dll:" module[allocation[r]]
    }
    if (type[r] == "mapped") return "mapped"
    what = label[allocation[r]]
    return what == "" ? "virtualalloc" : what
  }
  function unix_category(path) {
    if (path == "[heap]") return "unix-heap"
    if (path == "") return "unix-anonymous"
    if (path ~ /^\[stack/) return "unix-stack"
    if (path ~ /\.so(\.[0-9]+)*$/ || path ~ /^\/usr\/lib\/wine\/wine(64)?$/) return "unix-so"
    return "rest"
  }
  # Adds [from, to) of the current mapping to its list of pieces, joining
  # it to the last piece when their categories match.
  function piece(from, to, category) {
    if (from >= to) return
    if (pieces && piece_category[pieces] == category) { piece_end[pieces] = to; return }
    pieces++; piece_start[pieces] = from; piece_end[pieces] = to; piece_category[pieces] = category
  }
  function flush(   i, parts) {
    if (!mapping_kib) return
    if (pieces == 1) { printf "%s\t%d\n", piece_category[1], mapping_kib; return }
    for (i = 1; i <= pieces; i++)
      parts = parts sprintf("%s%s@%.0f@%.0f", i > 1 ? ";" : "", piece_category[i], piece_start[i] / 4096, piece_end[i] / 4096)
    printf "split\t%.0f\t%.0f\t%d\t%s\n", mapping_start / 4096, (mapping_end - mapping_start) / 4096, mapping_kib, parts
  }
  # Windows cannot write to reserved memory: where Wine reports written
  # pages as reserved, its Unix side has mapped them.
  FNR == NR && $1 == "region" && $4 == "committed" { regions++; base[regions] = $2; end[regions] = $2 + $3; type[regions] = $5; allocation[regions] = $6; next }
  # Programs name the same DLL in different cases.
  FNR == NR && $1 == "module" { module[$2] = tolower($4); if (module[$2] != program) dlls++; next }
  FNR == NR && $1 == "allocation" { label[$2] = $3; next }
  FNR == NR { next }
  FNR == 1 { printf "dlls\t%d\n", dlls; r = 1 }
  /^[0-9a-f]+-[0-9a-f]+ / {
    flush()
    split($1, range, "-")
    mapping_start = hex(range[1]); mapping_end = hex(range[2]); mapping_kib = 0; pieces = 0
    path = $6
    for (i = 7; i <= NF; i++) path = path " " $i
    while (r <= regions && end[r] <= mapping_start) r++
    at = mapping_start
    for (q = r; q <= regions && base[q] < mapping_end; q++) {
      piece(at, base[q] > at ? base[q] : at, unix_category(path))
      piece(base[q] > at ? base[q] : at, end[q] < mapping_end ? end[q] : mapping_end, windows_category(q))
      at = end[q]
    }
    piece(at, mapping_end, unix_category(path))
    next
  }
  /^(Private_Dirty|Swap):/ { mapping_kib += $2 }
  END { flush() }
'

# Shares out a split mapping's KiB by its written pages, as the kernel's
# page map tells them (second input: its top byte per page, from od): a
# page counts when swapped out, or when present, not a page of a file and
# mapped by this process alone. The rounding goes to the largest share.
split_awk='
  NR == 1 {
    first = $2; kib = $4
    count = split($5, parts, ";")
    for (i = 1; i <= count; i++) { split(parts[i], field, "@"); category[i] = field[1]; from[i] = field[2]; to[i] = field[3] }
    next
  }
  {
    page = first + NR - 2; flags = $NF
    present = flags >= 128; swapped = int(flags / 64) % 2; of_a_file = int(flags / 32) % 2; alone = flags % 2
    if (!(swapped || (present && !of_a_file && alone))) next
    for (i = 1; i <= count; i++) if (page >= from[i] && page < to[i]) { pages[i]++; written++ }
  }
  END {
    if (!written) { printf "rest\t%d\n", kib; exit }
    for (i = 1; i <= count; i++) { share[i] = int(kib * pages[i] / written); given += share[i]; if (pages[i] > pages[largest]) largest = i }
    share[largest] += kib - given
    for (i = 1; i <= count; i++) if (share[i]) printf "%s\t%d\n", category[i], share[i]
  }
'

split_by_pages() {  # split_by_pages <pid>, the split lines on its input
  local line first pages
  while IFS= read -r line; do
    IFS=$'\t' read -r _ first pages _ <<<"$line"
    { echo "$line"
      dd if="/proc/$1/pagemap" bs=8 skip="$first" count="$pages" 2>/dev/null | od -An -v -tu1 -w8
    } | awk -F'[\t ]+' "$split_awk"
  done
}

# memory_breakdown <pid> <program> <window class>: "<category>\t<KiB>"
# lines, summed, that add up to the process's private memory; and
# "dlls\t<count>".
memory_breakdown() {
  local map=$work/map smaps=$work/smaps
  windows_tool MemoryMap.exe "$3" 2>/dev/null | tr -d '\r' >"$map"
  grep -q '^region' "$map" || { echo "MemoryMap could not read $2's memory" >&2; return 1; }
  cat "/proc/$1/smaps" >"$smaps" || return 1
  awk -v program="$(tr '[:upper:]' '[:lower:]' <<<"$2")" "$classify_awk" "$map" "$smaps" >"$work/pieces"
  { awk '$1 != "split"' "$work/pieces"; awk '$1 == "split"' "$work/pieces" | split_by_pages "$1"; } |
    awk -F'\t' '{ sum[$1] += $2 } END { for (c in sum) printf "%s\t%d\n", c, sum[c] }'
}

# measure <label> <program> <window class> <round>: starts the program,
# lets it settle, measures it and stops it; appends "<label> <start-up ms>
# <own CPU ms/h> <prefix CPU ms/h> <private KiB>" to the figures and keeps
# its memory's breakdown.
measure() {
  local label=$1 program=$2 class=$3 round=$4 started=$work/started pid prefix_before own_before
  # A file, not a pipe: the started program keeps the output it inherits.
  windows_tool ResidentBench.exe start "$(windows_path "$bin/$program")" >"$started" 2>/dev/null ||
    { echo "$program did not show its icons" >&2; return 1; }
  sleep "$settle_seconds"
  pid=$(in_prefix "$prefix" "$program" | head -1)
  [ -n "$pid" ] || { echo "$program ended within $settle_seconds s of showing its icons" >&2; return 1; }
  prefix_before=$(cpu_ticks $(prefix_processes)) own_before=$(cpu_ticks "$pid")
  sleep "$resident_seconds"
  local prefix_ticks=$(( $(cpu_ticks $(prefix_processes)) - prefix_before ))
  local own_ticks=$(( $(cpu_ticks "$pid") - own_before ))
  memory_breakdown "$pid" "$program" "$class" >"$work/breakdown.$label.$round" || return 1
  awk -v label="$label" -v start="$(tr -d '\r' <"$started")" -v own="$own_ticks" -v all="$prefix_ticks" \
      -v hz="$(getconf CLK_TCK)" -v seconds="$resident_seconds" '
    $1 != "dlls" { private += $2 }
    END { per_hour = 1000 / hz * 3600 / seconds
          printf "%s %d %.0f %.0f %d\n", label, start, own * per_hour, all * per_hour, private }
  ' "$work/breakdown.$label.$round" >>"$work/figures"
  echo "$round" >>"$work/rounds.$label"
  windows_tool ResidentBench.exe stop "$class" >/dev/null 2>&1 ||
    { echo "$program did not end, or its icons stayed, when closed" >&2; return 1; }
}

# Per measure, each program's median and, per round, Tavelo's ratio to the
# floor of the same round: their median and their range.
print_figures() {
  awk -v emulated="${TAVELO_EMULATED_MACHINE:-}" '
    function median(list, count,   i, j, swap) {
      for (i = 2; i <= count; i++) for (j = i; j > 1 && list[j - 1] > list[j]; j--) { swap = list[j]; list[j] = list[j - 1]; list[j - 1] = swap }
      return count % 2 ? list[(count + 1) / 2] : (list[count / 2] + list[count / 2 + 1]) / 2
    }
    # Times from the emulated machine show as ratios only.
    function shown_median(m, label, scale, decimals,   i, values) {
      if (m <= 3 && emulated) return sprintf("%9s", "-")
      for (i = 1; i <= rounds; i++) values[i] = value[label, i, m] / scale
      return sprintf("%9." decimals "f", median(values, rounds))
    }
    # A round whose floor reads 0 has no ratio.
    function ratios(m, label,   i, r, n, low, high) {
      for (i = 1; i <= rounds; i++) {
        if (value["floor", i, m] <= 0) continue
        r[++n] = value[label, i, m] / value["floor", i, m]
        if (n == 1 || r[n] < low) low = r[n]
        if (n == 1 || r[n] > high) high = r[n]
      }
      if (!n) return sprintf("%6s  %-11s", "-", "")
      return sprintf("%6.2f  %5.2f-%-5.2f", median(r, n), low, high)
    }
    function row(m, what, scale, decimals) {
      printf "%-38s %s  %s %s  %s %s\n", what, shown_median(m, "floor", scale, decimals),
             shown_median(m, "hidden", scale, decimals), ratios(m, "hidden"),
             shown_median(m, "shown", scale, decimals), ratios(m, "shown")
    }
    { count[$1]++; for (m = 2; m <= 5; m++) value[$1, count[$1], m - 1] = $m }
    END {
      rounds = count["floor"]
      printf "%-38s %9s  %-29s  %s\n", "", "floor", "     Tavelo, panel hidden", "     Tavelo, panel shown"
      printf "%-38s %9s  %9s %6s  %-11s  %9s %6s  %-11s\n", "", "median", "median", "ratio", "(min-max)", "median", "ratio", "(min-max)"
      row(1, "start-up until both icons show, ms", 1, 0)
      row(2, "CPU of the program, ms per hour", 1, 0)
      row(3, "CPU of the whole prefix, ms per hour", 1, 0)
      row(4, "private memory, MiB", 1024, 2)
    }
  ' "$work/figures"
}

# The round whose private memory is the label's median.
median_round() {  # median_round <label>
  paste -d' ' <(awk -v label="$1" '$1 == label { print $5 }' "$work/figures") "$work/rounds.$1" |
    sort -n | awk '{ round[NR] = $2 } END { print round[int((NR + 1) / 2)] }'
}

# The breakdowns of the median rounds side by side, in KiB, with the
# biggest DLLs by name.
print_breakdowns() {
  local floor_round hidden_round shown_round
  floor_round=$(median_round floor) hidden_round=$(median_round hidden) shown_round=$(median_round shown)
  echo
  echo "Where the private memory lies, KiB (each program's median round: $floor_round, $hidden_round, $shown_round)"
  awk -F'\t' '
    FNR == 1 { column++ }
    { kib[$1, column] = $2; if ($1 ~ /^dll:/ && $2 > biggest[$1]) biggest[$1] = $2; total[column] += $1 == "dlls" ? 0 : $2 }
    function line(what, f, h, s) { printf "%-46s %8d %8d %8d %8d\n", what, f, h, s, h - f }
    function category(key, what) { line(what, kib[key, 1], kib[key, 2], kib[key, 3]) }
    END {
      printf "%-46s %8s %8s %8s %8s\n", "", "floor", "hidden", "shown", "hidden-floor"
      category("image", "the program'"'"'s own image")
      for (c = 1; c <= 3; c++) for (key in biggest) dll[c] += kib[key, c]
      line("written pages of DLLs", dll[1], dll[2], dll[3])
      for (n = 1; n <= 8; n++) {
        best = ""
        for (key in biggest) if (!(key in listed) && (best == "" || biggest[key] > biggest[best])) best = key
        if (best == "") break
        listed[best] = 1
        category(best, "  " substr(best, 5))
        for (c = 1; c <= 3; c++) others[c] += kib[best, c]
      }
      line("  the other DLLs", dll[1] - others[1], dll[2] - others[2], dll[3] - others[3])
      category("heap", "Windows heaps")
      category("thread-stack", "thread stacks")
      category("syscall-stack", "Wine'"'"'s stacks for Unix-side calls")
      category("blocks", "PEB and TEBs")
      category("gdi-table", "GDI handle table")
      category("mapped", "mapped sections (DIBs, shared memory, files)")
      category("virtualalloc", "other VirtualAlloc memory (DIB bits among it)")
      category("unix-heap", "Unix heap ([heap])")
      category("unix-anonymous", "Unix anonymous memory (outside Windows)")
      category("unix-stack", "Unix stack ([stack])")
      category("unix-so", "Unix .so data (and the Wine loader'"'"'s)")
      category("rest", "rest")
      line("total", total[1], total[2], total[3])
      category("dlls", "DLLs loaded")
    }
  ' "$work/breakdown.floor.$floor_round" "$work/breakdown.hidden.$hidden_round" "$work/breakdown.shown.$shown_round"
}

if [ ! -f "$prefix/system.reg" ]; then
  log "Making the Wine prefix $prefix"
  make_prefix "$prefix" win64
  [ -f "$prefix/system.reg" ] || { echo "Wine did not make the prefix $prefix" >&2; exit 1; }
fi
cp "$build/$arch/fakes/full/pdh.dll" "$(system_folder "$prefix" win64 "$arch")/pdh.dll"
# Whatever an interrupted run left in the prefix would share the tray.
stop_wineserver "$prefix"
start_xvfb || exit 1
start_wineserver "$prefix"

log "Resident cost beside a floor program ($arch${TAVELO_EMULATED_MACHINE:+, in the emulated machine: times as ratios only}): rounds: $rounds; each program started afresh, settled for $settle_seconds s, measured for $resident_seconds s"
# A real session's taskbar stays up between programs.
windows_tool ResidentBench.exe hold >/dev/null 2>&1 &
for round in $(seq "$rounds"); do
  measure floor FloorTray.exe TaveloFloorTray "$round" || exit 1
  tavelo_settings hidden
  measure hidden TVL.exe TApplication "$round" || exit 1
  tavelo_settings shown
  measure shown TVL.exe TApplication "$round" || exit 1
done
print_figures
print_breakdowns
