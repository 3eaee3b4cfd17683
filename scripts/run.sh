#!/usr/bin/env bash
# Builds Tessaly and starts the desktop on the sample template with the chip simulator as the programmer
# and a simulated 24C02 ready to program. It runs in build/run/, whose settings file tessaly.ini chooses
# the simulator; the settings file is read from the working directory, so everywhere else Tessaly keeps
# its built-in defaults. The simulated chip's memory stays in build/run/chips/ between runs.
#   ./scripts/run.sh [TEMPLATE]
# A sample template of examples/ (the default is board-24c02.dev) is copied into build/run/ with its
# companion file of values, so that it programs at once and the values saved beside it stay out of the
# source tree; any other template is opened where it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSALY_BUILD_DIR:-$root/build}
examples=$(realpath "$root/examples")

"$root/scripts/build.sh"

run=$build/run
mkdir -p "$run/chips"
settings=$run/tessaly.ini
if [ -f "$settings" ] && grep -q '^Plugin=' "$settings" && grep -q '^Port=' "$settings"; then
    # Written back by the last run: keep everything but the programmer.
    sed -i 's/^Plugin=.*/Plugin=tessaly-sim.so/; s/^Port=.*/Port=24C02/' "$settings"
else
    printf '[Config]\nPlugin=tessaly-sim.so\nPort=24C02\n' > "$settings"
fi

template=$(realpath "${1:-$examples/board-24c02.dev}")
if [ "$(dirname "$template")" = "$examples" ]; then
    # Copied again only when the source tree's files are newer, so the values of the last run stay. The
    # companion file is named after the template's name up to its first dot (edid-1.3.dev: edid-1.cfg).
    name=$(basename "$template")
    cp -u "$template" "$examples/${name%%.*}.cfg" "$run/"
    template=$run/$(basename "$template")
fi

export TESSALY_SIM_DIR=${TESSALY_SIM_DIR:-$run/chips}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<HELP
Tessaly is built, but there is no display to show its window on (DISPLAY is not set).
Run it on a virtual X display instead, for example:

    xvfb-run -a -s "-screen 0 1280x800x24" ./scripts/run.sh

It then runs unseen until it is ended with Ctrl+C, which closes it as its window would (values and
settings are saved). ./scripts/screenshots.sh shows what it looks like (pictures in docs/).

Meanwhile, here is the same template, with its values, programmed into the simulated 24C02 from the
command line:
HELP
    cd "$run"
    cli=$build/bin/tessaly-cli
    "$cli" list "$template"
    "$cli" program "$template" --plugin tessaly-sim.so --port 24C02
    exit 0
fi

cd "$run"
exec "$build/bin/tessaly" "$template"
