#!/usr/bin/env bash
# Runs the walk through the real program (walk.py) on a session bus of its
# own, which the accessibility bus of the walk hangs from.
# Usage: run_walk.sh BUILD_DIR OUTPUT_DIR
set -euo pipefail
if ! command -v dbus-run-session > /dev/null; then
  echo "dbus-run-session is missing: install the Debian package dbus (bash scripts/setup.sh)" >&2
  exit 1
fi
# The session bus daemon's remarks about file limits are no part of the walk.
exec dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/walk.py" "$1" "$2" 2> >(grep -v "^dbus-daemon" >&2)
