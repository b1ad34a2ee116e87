#!/usr/bin/env bash
# Sets up, builds and starts Valvix with its file dialogs opening in examples/.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/setup.sh"
"$here/tools/build.sh"
cd "$here/examples"
exec "$here/build/app/valvix"
