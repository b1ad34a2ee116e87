#!/usr/bin/env bash
# Sets up, builds (warnings allowed) and starts Valvix with its file dialogs opening in
# examples/ until the user has chosen files elsewhere.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/setup.sh"
"$here/tools/build.sh" --no-werror
cd "$here/examples"
exec "$here/build/app/valvix"
