#!/usr/bin/env bash
# Runs a Windows test program under Wine, one process for each test suite,
# or for each test where the program's tests want a process of their own.
# Under emulation a process start costs seconds, so one per test would cost
# more than most tests. A group that hangs past the time limit is stopped
# and counts as failed; a failing group's whole output is shown.
# Usage: run-gtest.sh <Wine loader> <test program> <DLL overrides> <seconds per group> <suite|test>
set -uo pipefail
loader=$1 program=$2 overrides=$3 limit=$4 unit=$5
export WINEDLLOVERRIDES=$overrides
output=$(mktemp)
trap 'rm -f "$output"' EXIT

passed=0 failed=0 skipped=0 failed_groups=()
count() { grep -c "^\[ *$1 *\] .* ([0-9]* ms)" "$output"; }

# run_group <filter>: its exit code; its output in $output.
run_group() {
  timeout --kill-after=10 "$limit" "$loader" "$program" --gtest_filter="$1" --gtest_color=no \
    </dev/null 2>&1 | tr -d '\r' > "$output"
  return "${PIPESTATUS[0]}"
}

# The listing has a line per suite ("Suite.") and an indented line per test,
# perhaps followed by a comment on its parameter.
groups=$("$loader" "$program" --gtest_list_tests </dev/null 2>/dev/null | tr -d '\r' |
  awk -v unit="$unit" '/^[A-Za-z_0-9\/]+\.$/ { suite = $1; if (unit == "suite") print suite "*"; next }
                       /^  / && unit == "test" { print suite $1 }')
[ -n "$groups" ] || { echo "FAILED  $(basename "$program") lists no tests"; exit 1; }

for group in $groups; do
  started=$(date +%s%3N)
  run_group "$group"; code=$?
  took=$(( $(date +%s%3N) - started ))
  # Now and then Wine starts no process at all: no output, gone at once.
  # Only that is tried once more, and said so.
  if [ $code -ne 0 ] && [ ! -s "$output" ] && [ $took -lt 1000 ]; then
    echo "retry   $group: Wine started no process (exit code $code, no output, $took ms)"
    started=$(date +%s%3N)
    run_group "$group"; code=$?
    took=$(( $(date +%s%3N) - started ))
  fi
  passed=$((passed + $(count OK))) skipped=$((skipped + $(count SKIPPED)))
  seconds=$(awk -v ms="$took" 'BEGIN { printf "%.1f", ms / 1000 }')
  if [ $code -eq 0 ] && grep -q '^\[  PASSED  \]' "$output"; then
    echo "ok      $group ($(count OK) passed, $(count SKIPPED) skipped, $seconds s)"
  else
    failed=$((failed + $(count FAILED) )) failed_groups+=("$group")
    [ $code -eq 124 ] && echo "(stopped after the limit of $limit s)" >> "$output"
    echo "FAILED  $group (exit code $code, $seconds s):"
    sed 's/^/        /' "$output"
  fi
done

echo "$(basename "$program"): $passed passed, $skipped skipped, $failed failed" \
  "in $(echo "$groups" | wc -l) processes"
[ ${#failed_groups[@]} -eq 0 ] || { echo "Failed: ${failed_groups[*]}"; exit 1; }
