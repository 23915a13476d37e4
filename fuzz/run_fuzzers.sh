#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz, clang) and runs each of them
# for SECONDS (default 60):
#
#   fuzz/run_fuzzers.sh [SECONDS] [reader|generation|decoder ...]
#
# The seeds in fuzz/corpus/<target> are only read; what a run finds goes to
# build-fuzz/corpus/<target>, so a later run goes on from there. A failing
# input is kept in build-fuzz/artifacts/ and the script exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(reader generation decoder)

cmake --workflow --preset fuzz >/dev/null

# dU keeps every text it returns until the process ends, by design, so a
# target that calls it grows by every input: at some 17,000 inputs a second
# the decoder target passes libFuzzer's 2 GB limit within five minutes.
# Those targets are restarted every minute (the corpus carries over), the
# reader every ten.
mkdir -p build-fuzz/artifacts
status=0
for target in "${targets[@]}"; do
  seeds=fuzz/corpus/$target
  [ "$target" = decoder ] && seeds=fuzz/corpus/decoders
  work=build-fuzz/corpus/$target
  log=build-fuzz/$target.log
  mkdir -p "$work"
  # The same ever-growing store of dU makes every run that calls it look
  # like a leak to libFuzzer's leak check, which then scans the heap after
  # each input; the reader alone keeps the check.
  detect_leaks=0
  chunk=60
  if [ "$target" = reader ]; then
    detect_leaks=1
    chunk=600
  fi
  left=$seconds
  : >"$log"
  while [ "$left" -gt 0 ]; do
    run=$((left < chunk ? left : chunk))
    if ! "build-fuzz/fuzz/${target}_fuzzer" "$work" "$seeds" \
        -max_total_time="$run" -timeout=10 -detect_leaks="$detect_leaks" \
        -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/"$target"- \
        >>"$log" 2>&1; then
      echo "$target: FAILED, see $log" >&2
      grep -E "ERROR|check failed|SUMMARY|Test unit written" "$log" >&2 || tail -20 "$log" >&2
      status=1
      break
    fi
    left=$((left - run))
  done
  runs=$(grep -E "stat::number_of_executed_units" "$log" |
         awk '{n += $2} END {print n + 0}')
  echo "$target: $runs inputs in ${seconds} s, corpus $(ls "$work" | wc -l) files"
done
exit $status
