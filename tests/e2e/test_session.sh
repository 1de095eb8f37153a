#!/usr/bin/env bash
# The program in a user's session (session.py): files opened with it, one player per session
# bus, MPRIS.
set -euo pipefail
program="$(realpath -s "$1")"
source "$(dirname "$0")/../support/desktop.sh"
walk session.py session
