#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on), replays each target's kept inputs in
# tests/fuzz/corpus/<target>/, then fuzzes each target for FUZZ_SECONDS seconds
# (default 30). Fails when any input crashes or breaks a property; such an input is
# copied into tests/fuzz/corpus/<target>/ so that it stays as a regression case:
# commit it together with the fix.
#
#   FUZZ_SECONDS=300 tools/fuzz.sh             # longer runs
#   FUZZ_TARGETS="design_file" tools/fuzz.sh   # some targets only
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dir="${FUZZ_BUILD_DIR:-$here/build-fuzz}"
seconds="${FUZZ_SECONDS:-30}"
corpora="$here/tests/fuzz/corpus"

# clang with its sanitizer and libFuzzer run-time libraries.
"$here/tools/setup.sh" clang libclang-rt-dev

CXX=clang++ cmake -S "$here/tests/fuzz" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir"

if [ -n "${FUZZ_TARGETS:-}" ]; then
  read -r -a targets <<<"$FUZZ_TARGETS"
else
  targets=()
  for seeds in "$corpora"/*/; do
    targets+=("$(basename "$seeds")")
  done
fi

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$here/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

failed=()
for target in "${targets[@]}"; do
  program="$dir/fuzz_$target"
  seeds="$corpora/$target"
  work="$dir/corpus/$target"     # inputs found while fuzzing; not kept in the sources
  artifacts="$dir/artifacts/$target"
  log="$dir/logs/$target.log"
  rm -rf "$artifacts"
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"

  status=0
  "$program" -runs=0 -artifact_prefix="$artifacts/" "$seeds" >"$log" 2>&1 || status=$?
  if [ "$status" -eq 0 ]; then
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$seeds" >>"$log" 2>&1 ||
      status=$?
  fi

  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  if [ "$status" -eq 0 ]; then
    printf '%-20s ok   %12s runs, %5s inputs found so far\n' "$target" "${runs:-0}" \
      "$(find "$work" -type f | wc -l)"
    continue
  fi
  failed+=("$target")
  echo "=== $target FAILED (exit $status); end of $log:"
  tail -n 60 "$log"
  for input in "$artifacts"/*; do
    [ -f "$input" ] || continue
    kept="$seeds/$(basename "$input")"
    cp "$input" "$kept"
    echo "Kept the failing input as ${kept#"$here"/} (commit it with the fix)"
  done
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "Fuzzing failed: ${failed[*]}"
  exit 1
fi
echo "Fuzzing passed: ${targets[*]} (${seconds} s each)"
