#!/usr/bin/env bash
# Builds everything and runs every test: the core's unit tests natively (with
# sanitizers) and as a Windows program under Wine, the backend's own suite
# under Wine, then the end-to-end tests of the real program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$(nproc)"
cmake --build --preset win64 -j"$(nproc)" --target msi-tests
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)"
ctest --preset native -j"$(nproc)"
ctest --preset win64
ctest --preset e2e
