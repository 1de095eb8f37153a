#!/usr/bin/env bash
# The walks of walk.py on the program installed from its build tree; screenshots in $IXO_ARTEFACTS.
set -euo pipefail
program="$(realpath -s "$1")"
source "$(dirname "$0")/../support/desktop.sh"
# The file dialog's own words are read by their English names.
export LC_ALL=C.UTF-8 LANGUAGE=
build="$(dirname "$(dirname "$program")")" label=installed
if [ -f "$build/CMakeCache.txt" ]; then
    label="$(basename "$build")"
    cmake --install "$build" --prefix "$work/usr" >/dev/null
    program="$work/usr/bin/ixomp3"
fi
start_x
start_icewm
start_a11y_bus
/usr/bin/python3 -c 'import pyatspi, dbus' 2>/dev/null || skip "python3-pyatspi or python3-dbus is missing"
for walk in session access; do
    shots="${IXO_ARTEFACTS:-$PWD/artefacts}/$walk-$label"
    rm -rf "$shots" && mkdir -p "$shots" "$work/$walk"
    /usr/bin/python3 "$(dirname "$0")/walk.py" "$walk" "$program" "$work/$walk" "$shots" || fail "screenshots in $shots"
done
