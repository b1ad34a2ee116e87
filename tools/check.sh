#!/usr/bin/env bash
# The quality gates after tools/test.sh: the whole test suite again with
# AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer (build-asan/), static
# analysis (tools/analyze.sh, over build/ as tools/test.sh left it) and a bounded fuzzing
# run (tools/fuzz.sh, FUZZ_SECONDS per target). Stops at the first failing step.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

step_start=$SECONDS
step() {
  echo "== $1 ($((SECONDS - step_start)) s)"
  step_start=$SECONDS
}

"$here/tools/setup.sh"
[ -f "$here/build/compile_commands.json" ] || "$here/tools/build.sh"

# Any sanitizer report ends the test program with an error. gcc's "undefined" leaves
# out float-cast-overflow, which guards the many double-to-Single conversions.
asan="$here/build-asan"
cmake -S "$here" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVALVIX_WERROR=ON \
  -DVALVIX_BENCHMARKS=OFF -DVALVIX_SANITIZE=address,undefined,float-cast-overflow >/dev/null
cmake --build "$asan"
step "built with sanitizers"
cd "$asan"
ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1" \
  LSAN_OPTIONS="suppressions=$here/tools/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
step "tests passed with sanitizers"

"$here/tools/analyze.sh" "$here/build"
step "static analysis clean"

"$here/tools/fuzz.sh"
step "fuzzing passed"
