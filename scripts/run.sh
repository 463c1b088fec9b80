#!/usr/bin/env bash
# Installs what is missing, builds an optimised program and launches it with any URLs given.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target larkspurhollow
exec ./build/release/bin/larkspurhollow "$@"
