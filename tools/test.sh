#!/usr/bin/env bash
# Sets up, builds and runs every test through CTest (headless).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/setup.sh"
"$here/tools/build.sh"
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
