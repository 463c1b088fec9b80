#!/bin/sh
# Runs the end-to-end stories: tests/e2e/run_e2e.sh [unittest arguments, e.g. test_views]
# LARKSPUR_BINARY names the program (default: build/dev/bin/larkspurhollow).
cd "$(dirname "$0")" || exit 1
[ $# -gt 0 ] || set -- test_urls test_restore test_hotkeys test_views
# The system interpreter has the dbus module that the harness needs.
exec /usr/bin/python3 -B -m unittest -v "$@"
