#!/usr/bin/env bash
# Configures and builds into build/ (or the given folder). Warnings are errors unless
# --no-werror is given first: tools/run.sh builds that way, so that a newer compiler's
# new warning never keeps the program from starting; CI and tools/test.sh do not.
#
#   tools/build.sh [--no-werror] [build-dir]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
werror=ON
if [ "${1:-}" = "--no-werror" ]; then
  werror=OFF
  shift
fi
dir="${1:-$here/build}"
cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVALVIX_WERROR="$werror" >/dev/null
cmake --build "$dir"
