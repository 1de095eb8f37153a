#!/usr/bin/env bash
# The program in a user's session (session.py): files opened with it, one player per session
# bus, MPRIS. Screenshots go to $IXO_ARTEFACTS/session-<build folder or "installed">.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="$(realpath -s "$1")"
source "$here/../support/desktop.sh"

build="$(dirname "$(dirname "$program")")"
label=installed
[ -f "$build/CMakeCache.txt" ] && label="$(basename "$build")"
artefacts="${IXO_ARTEFACTS:-$PWD/artefacts}/session-$label"
rm -rf "$artefacts" && mkdir -p "$artefacts"

start_x
start_icewm
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
pids+=($!)
within 30 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress ||
    skip "the accessibility bus did not start"
/usr/bin/python3 "$here/session.py" "$program" "$work" "$artefacts" || fail "screenshots in $artefacts"
echo "screenshots in $artefacts"
