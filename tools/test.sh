#!/usr/bin/env bash
# Sets up, builds and runs every test through CTest (headless), then checks the install
# and the Debian package: the first command to run, a few minutes on two cores. The
# longer quality gates (sanitizers, static analysis, fuzzing) are in tools/check.sh.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

step_start=$SECONDS
step() {
  echo "== $1 ($((SECONDS - step_start)) s)"
  step_start=$SECONDS
}

"$here/tools/setup.sh"
"$here/tools/build.sh"
step "built"
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
step "tests passed"
"$here/tools/check-install.sh" "$here/build"
step "install and package checked"
