#!/usr/bin/env bash
# The end-to-end walk on a real desktop: Xvfb with IceWM, the accessibility bus, SDL's disk
# driver, and the installed program. Given an executable of a build tree, that build is
# installed into a temporary prefix first, so the walk always meets the program as installed.
# Screenshots of every step go to $IXO_ARTEFACTS/e2e-<build folder or "installed"> (default
# IXO_ARTEFACTS: artefacts/ in the current folder).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="$(realpath -s "$1")"
work=$(mktemp -d)
source "$here/../support/desktop.sh"

build="$(dirname "$(dirname "$program")")"
label=installed
if [ -f "$build/CMakeCache.txt" ]; then
    cmake --install "$build" --prefix "$work/usr" >/dev/null
    program="$work/usr/bin/ixomp3"
    label="$(basename "$build")"
fi
artefacts="${IXO_ARTEFACTS:-$PWD/artefacts}/e2e-$label"
rm -rf "$artefacts"
mkdir -p "$artefacts"
[ -x "$program" ] || fail "no program at $program"
/usr/bin/python3 "$here/songs.py" "$work/kantak" 20 "1 Lehena=440" "2 Bigarrena=660" \
    "3 Hirugarrena=990"

start_desktop

export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
# A session bus of its own, with the accessibility bus on it, for the program and the reader.
dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    trap "kill $launcher" EXIT
    for _ in $(seq 50); do
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
            org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
        sleep 0.1
    done
    /usr/bin/python3 "$0" "$1" "$2" "$3"
' "$here/walk.py" "$program" "$work" "$artefacts" 2>"$work/stderr.txt" || {
    echo "--- standard error of the program and the desktop:" >&2
    grep -v "Failed to set fd limit" "$work/stderr.txt" >&2 || true
    echo "screenshots in $artefacts" >&2
    exit 1
}
echo "screenshots in $artefacts"
