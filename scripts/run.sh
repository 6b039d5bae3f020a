#!/usr/bin/env bash
# Builds the program and starts it under Wine (on $DISPLAY when set, else on a
# virtual display), then prints the path of a screenshot of it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset win64 >/dev/null
# Only what it starts: the program and the stand-in .jnj client.
cmake --build --preset win64 -j"$(nproc)" --target talvo-office jnj_client >/dev/null
exec python3 scripts/show.py
