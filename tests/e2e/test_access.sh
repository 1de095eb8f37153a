#!/usr/bin/env bash
# The built program by screen reader and keyboard alone (access.py). Screenshots go to
# $IXO_ARTEFACTS/access-<build folder> (./artefacts).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="$(realpath -s "$1")"
source "$here/../support/desktop.sh"
artefacts="${IXO_ARTEFACTS:-$PWD/artefacts}/access-$(basename "$(dirname "$(dirname "$program")")")"
rm -rf "$artefacts" && mkdir -p "$artefacts"

start_x
start_icewm
start_a11y_bus
/usr/bin/python3 -c 'import pyatspi, gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
    skip "the AT-SPI reader is missing (python3-pyatspi)"
# The file dialog's own words are read by their English names.
export LC_ALL=C.UTF-8 LANGUAGE=
/usr/bin/python3 "$here/access.py" "$program" "$work" "$artefacts" || fail "screenshots in $artefacts"
echo "screenshots in $artefacts"
