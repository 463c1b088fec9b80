#!/bin/sh
# Runs the end-to-end suite against a built program.
# Usage: tests/e2e/run_e2e.sh [path/to/larkspurhollow] [unittest arguments...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -gt 0 ] && [ -x "$1" ] && [ ! -d "$1" ]; then
    LARKSPUR_BINARY=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    shift
fi
: "${LARKSPUR_BINARY:=$here/../../build/dev/bin/larkspurhollow}"
export LARKSPUR_BINARY
# The system interpreter has the dbus module that the harness needs.
if [ $# -eq 0 ]; then
    exec /usr/bin/python3 -m unittest discover -s "$here" -p "test_*.py" -v
fi
cd "$here"
exec /usr/bin/python3 -m unittest "$@"
