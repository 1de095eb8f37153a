#!/usr/bin/env bash
# The walk of the program as installed (a build tree is installed into a temporary prefix
# first). Screenshots go to $IXO_ARTEFACTS/e2e-<build folder or "installed"> (./artefacts).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="$(realpath -s "$1")"
source "$here/../support/desktop.sh"

build="$(dirname "$(dirname "$program")")"
label=installed
if [ -f "$build/CMakeCache.txt" ]; then
    cmake --install "$build" --prefix "$work/usr" >/dev/null
    program="$work/usr/bin/ixomp3"
    label="$(basename "$build")"
fi
artefacts="${IXO_ARTEFACTS:-$PWD/artefacts}/e2e-$label"
rm -rf "$artefacts" && mkdir -p "$artefacts"

start_x
start_icewm
start_a11y_bus
/usr/bin/python3 "$here/walk.py" "$program" "$work" "$artefacts" || fail "screenshots in $artefacts"
echo "screenshots in $artefacts"
