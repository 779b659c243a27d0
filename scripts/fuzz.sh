#!/usr/bin/env bash
# Builds the fuzz harnesses (fuzz/) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ and runs each one for SECONDS on
# its seed corpus (fuzz/corpus/<harness>/, and the inputs of mended findings in
# fuzz/regressions/<harness>/, both kept unchanged; new inputs go to
# build-fuzz/fuzz-work/<harness>/corpus/). A harness that crashes, breaks an
# invariant, hangs or runs out of memory leaves its reproducer in
# build-fuzz/fuzz-work/<harness>/ and makes the script fail after all harnesses
# have run. Without clang the harnesses are skipped with a note.
#
#   scripts/fuzz.sh SECONDS [HARNESS...]       e.g. scripts/fuzz.sh 30 (CI), scripts/fuzz.sh 3600
#
# FUZZ_KEEP_GOING=1 runs each harness in libFuzzer's fork mode, which goes on
# after a finding, so that a long run collects every kind of finding instead
# of stopping at the first one; the script still fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [HARNESS...]}
shift

if ! command -v clang >/dev/null || ! command -v clang++ >/dev/null; then
  echo "fuzz: clang is not installed; the fuzz harnesses are skipped"
  exit 0
fi

build=$PWD/build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWF_FUZZ=ON \
  -DWF_BUILD_UI=OFF -DWF_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzzers

if [ $# -gt 0 ]; then
  harnesses=("$@")
else
  mapfile -t harnesses < "$build/fuzz/harnesses.txt"
fi

# The harnesses write their scratch files many thousand times a second: a
# memory-backed temporary folder keeps them from waiting on the disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
summary=()
for h in "${harnesses[@]}"; do
  [ -n "$h" ] || continue
  work="$build/fuzz-work/$h"
  mkdir -p "$work/corpus"
  echo "== $h: ${seconds} s"
  rm -f "$work"/crash-* "$work"/timeout-* "$work"/oom-* "$work"/leak-*
  mode=()
  if [ "${FUZZ_KEEP_GOING:-0}" = 1 ]; then
    mode=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)
  fi
  # Inputs of mended findings run with the seeds.
  regressions=()
  if [ -d "$PWD/fuzz/regressions/$h" ]; then regressions=("$PWD/fuzz/regressions/$h"); fi
  status=0
  "$build/fuzz/$h" "${mode[@]}" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus" "$PWD/fuzz/corpus/$h" "${regressions[@]}" > "$work/log" 2>&1 || status=$?
  # Inputs run: the final statistics, or in fork mode the last progress line.
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
  [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9]*\): cov.*/\1/p' "$work/log" | tail -1)
  findings=$(find "$work" -maxdepth 1 \( -name 'crash-*' -o -name 'timeout-*' -o -name 'oom-*' -o -name 'leak-*' \) | wc -l)
  if [ "$status" -ne 0 ] || [ "$findings" -gt 0 ]; then
    failed+=("$h")
    grep -E "Invariant broken|ERROR:|SUMMARY:|runtime error|Test unit written" "$work/log" | head -8 || true
    summary+=("$(printf '%-20s %10s inputs  FAILED (status %s, %s reproducers, see %s)' "$h" "${runs:-?}" "$status" \
                "$findings" "$work/log")")
  else
    summary+=("$(printf '%-20s %10s inputs  ok' "$h" "${runs:-?}")")
  fi
done

echo "== fuzz summary (${seconds} s each)"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: ${failed[*]} failed; reproducers in $build/fuzz-work/<harness>/" >&2
  exit 1
fi
