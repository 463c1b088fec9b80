#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test (unit, component and end-to-end).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --test
cmake --preset dev
cmake --build --preset dev -j"$(nproc)"
ctest --preset dev -j"$(nproc)"
