#!/usr/bin/env bash
# The main road of the program as installed (walk.py).
set -euo pipefail
program="$(realpath -s "$1")"
source "$(dirname "$0")/../support/desktop.sh"
walk walk.py e2e install
