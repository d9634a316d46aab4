#!/usr/bin/env bash
# Builds quelmhost with the default preset and starts it (arguments are passed on).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quelmhost
exec build/default/host/quelmhost "$@"
