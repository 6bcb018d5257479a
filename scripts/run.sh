#!/usr/bin/env bash
# Installs what Levora needs, builds it and starts it on the embedded simulated cards.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target levora levora-driver
exec ./build/release/app/levora "$@"
