#!/bin/sh
# Runs the end-to-end stories: tests/e2e/run_e2e.sh [unittest arguments, e.g. test_views];
# with none, every test_*.py here. LARKSPUR_BINARY names the program (default:
# build/dev/bin/larkspurhollow). The system interpreter has the dbus module the harness needs.
cd "$(dirname "$0")" && exec /usr/bin/python3 -B -m unittest -v "$@"
