#!/usr/bin/env bash
# The build a packager runs: Release with the default options (warnings are not errors there) into
# build-release/ (or $TESSALY_RELEASE_BUILD_DIR), without the tests and benchmarks. It installs that build
# into a temporary prefix, makes the Debian package with cpack and unpacks it into a temporary folder;
# the tessaly-cli of each must start, load a sample template and program it into the installed chip
# simulator, and the language files must be in place, so a missing install rule fails here. The package
# stays in the build directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSALY_RELEASE_BUILD_DIR:-$root/build-release}

"$root/scripts/deps.sh"
# ccache, where there is one, only makes a repeated build quicker.
launchers=()
if command -v ccache > /dev/null; then
    launchers=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSALY_TESTS=OFF \
    -DTESSALY_BENCHMARKS=OFF "${launchers[@]}" > /dev/null
cmake --build "$build" --parallel "$(nproc)"
if ! grep -q '^TESSALY_WERROR:BOOL=OFF$' "$build/CMakeCache.txt"; then
    echo "a plain configure makes warnings errors; a packager's newer compiler would then fail" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The desktop's settings and the simulated chips of this run only, so that the user's play no part.
export XDG_CONFIG_HOME=$work/config TESSALY_SIM_DIR=$work/chips TESSALY_SIM_TWR_US=0

# Runs an installed tree's tessaly-cli: its version, a check of a copy of the sample template (the command
# line writes beside the template it opens), and a program of its values with the plug-in installed beside
# it. Then looks for the language files.
check_installed_tree() {
    local cli=$1/bin/tessaly-cli
    echo "== $cli"
    "$cli" --version
    cp "$root/examples/board-24c02.dev" "$root/examples/board-24c02.cfg" "$work/"
    "$cli" check "$work/board-24c02.dev"
    "$cli" program "$work/board-24c02.dev" --plugin tessaly-sim.so --port 24C02 --delay-power-up 0 --pulse-fix 0
    ls "$1/share/tessaly/languages/"{Deutsch,Francais}.lng > /dev/null
}

# Quiet unless it fails: installing for real also refreshes the desktop's caches under the prefix, which
# says that the temporary prefix is none the desktop searches.
if ! cmake --install "$build" --prefix "$work/prefix" > "$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    exit 1
fi
check_installed_tree "$work/prefix"

rm -f "$build"/tessaly_*.deb
(cd "$build" && cpack -G DEB > /dev/null)
package=$(echo "$build"/tessaly_*_"$(dpkg --print-architecture)".deb)
version=$("$work/prefix/bin/tessaly-cli" --version)
if [ "$(basename "$package")" != "tessaly_${version#tessaly-cli }_$(dpkg --print-architecture).deb" ]; then
    echo "unexpected package name: $package" >&2
    exit 1
fi
echo "== $(basename "$package"): Depends: $(dpkg-deb -f "$package" Depends)"
if ! dpkg-deb -f "$package" Depends | grep -q libqt6widgets6; then
    echo "the package's library dependencies were not found" >&2
    exit 1
fi
dpkg-deb -x "$package" "$work/unpacked"
check_installed_tree "$work/unpacked/usr"
