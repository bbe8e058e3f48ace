#!/usr/bin/env bash
# Runs a Windows test program under Wine, one process for each test suite:
# under emulation a process start costs seconds, so one per test would cost
# more than the tests. A suite that hangs past the time limit is stopped
# and counts as failed; a failing suite's whole output is shown.
# Usage: run-suites.sh <Wine loader> <test program> <DLL overrides> <seconds per suite>
set -uo pipefail
loader=$1 program=$2 overrides=$3 limit=$4
export WINEDLLOVERRIDES=$overrides
output=$(mktemp)
trap 'rm -f "$output"' EXIT

passed=0 failed=0 skipped=0 failed_suites=()
count() { grep -c "^\[ *$1 *\] .* ([0-9]* ms)" "$output"; }

# run_suite <suite>: its exit code; its output in $output.
run_suite() {
  timeout --kill-after=10 "$limit" "$loader" "$program" --gtest_filter="$1*" --gtest_color=no \
    </dev/null 2>&1 | tr -d '\r' > "$output"
  return "${PIPESTATUS[0]}"
}

suites=$("$loader" "$program" --gtest_list_tests </dev/null 2>/dev/null | tr -d '\r' |
  grep -E '^[A-Za-z_0-9/]+\.$')
[ -n "$suites" ] || { echo "FAILED  $(basename "$program") lists no tests"; exit 1; }

for suite in $suites; do
  started=$(date +%s%3N)
  run_suite "$suite"; code=$?
  took=$(( $(date +%s%3N) - started ))
  # Now and then Wine starts no process at all: no output, gone at once.
  # Only that is tried once more, and said so.
  if [ $code -ne 0 ] && [ ! -s "$output" ] && [ $took -lt 1000 ]; then
    echo "retry   $suite: Wine started no process (exit code $code, no output, $took ms)"
    started=$(date +%s%3N)
    run_suite "$suite"; code=$?
    took=$(( $(date +%s%3N) - started ))
  fi
  passed=$((passed + $(count OK))) skipped=$((skipped + $(count SKIPPED)))
  seconds=$(awk -v ms="$took" 'BEGIN { printf "%.1f", ms / 1000 }')
  if [ $code -eq 0 ] && grep -q '^\[  PASSED  \]' "$output"; then
    echo "ok      $suite ($(count OK) passed, $(count SKIPPED) skipped, $seconds s)"
  else
    failed=$((failed + $(count FAILED) )) failed_suites+=("$suite")
    [ $code -eq 124 ] && echo "(stopped after the limit of $limit s)" >> "$output"
    echo "FAILED  $suite (exit code $code, $seconds s):"
    sed 's/^/        /' "$output"
  fi
done

echo "$(basename "$program"): $passed passed, $skipped skipped, $failed failed" \
  "in $(echo "$suites" | wc -l) suites"
[ ${#failed_suites[@]} -eq 0 ] || { echo "Failed suites: ${failed_suites[*]}"; exit 1; }
