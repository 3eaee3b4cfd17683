#!/usr/bin/env bash
# Builds Tessaly and runs it on the sample template: the template is checked and shown in plain text.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSALY_BUILD_DIR:-$root/build}
template=${1:-$root/examples/board-24c02.dev}

"$root/scripts/build.sh"
"$build/bin/tessaly-cli" check "$template"
echo "$template: template loads without errors"
"$build/bin/tessaly-cli" decode "$template"
