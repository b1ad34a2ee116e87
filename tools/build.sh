#!/usr/bin/env bash
# Configures and builds into build/ (or $1); warnings are errors.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$here/build}"
cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVALVIX_WERROR=ON >/dev/null
cmake --build "$dir"
