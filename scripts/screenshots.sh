#!/usr/bin/env bash
# Takes the desktop's screenshots for the README into docs/, under a virtual X display (xvfb-run): the main
# window on the sample template, an open editor with its tip, the hex view, the two pages of the Options
# dialog, the list compared with the chip and the difference dialog.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSALY_BUILD_DIR:-$root/build}

"$root/scripts/build.sh"
xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24" \
    "$build/bin/tessaly-screenshots" "$root/docs"
