#!/usr/bin/env bash
# The end-to-end walk of the program as installed (a build tree's executable is installed into
# a temporary prefix first), under IceWM with the accessibility bus and SDL's disk driver.
# Screenshots go to $IXO_ARTEFACTS/e2e-<build folder or "installed"> (default: ./artefacts).
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
[ -x "$program" ] || fail "no program at $program"
/usr/bin/python3 "$here/songs.py" "$work/kantak" 2 "1 Lehena=440" "2 Bigarrena=660" "3 Hirugarrena=990"

start_x
start_icewm
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
pids+=($!)
within 30 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress ||
    skip "the accessibility bus did not start"
/usr/bin/python3 "$here/walk.py" "$program" "$work" "$artefacts" 2>"$work/stderr.txt" || {
    echo "--- standard error of the program:" >&2
    grep -v "Failed to set fd limit" "$work/stderr.txt" >&2 || true
    fail "the walk stopped; screenshots in $artefacts"
}
echo "screenshots in $artefacts"
