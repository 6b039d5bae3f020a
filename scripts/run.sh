#!/usr/bin/env bash
# Builds the program and starts it under Wine (on $DISPLAY when set, else on a
# virtual display), then prints the path of a screenshot of it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$(nproc)" >/dev/null
exec python3 scripts/show.py
