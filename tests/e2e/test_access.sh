#!/usr/bin/env bash
# The program by screen reader and keyboard alone (access.py).
set -euo pipefail
program="$(realpath -s "$1")"
source "$(dirname "$0")/../support/desktop.sh"
# The file dialog's own words are read by their English names.
export LC_ALL=C.UTF-8 LANGUAGE=
walk access.py access
