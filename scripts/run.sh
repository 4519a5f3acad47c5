#!/usr/bin/env bash
# Installs what is missing, builds Mirlan and starts it from the repository
# root, where it finds its help pages under doc/ and sample images under samples/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --run-only
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMIRLAN_TESTS=OFF -DMIRLAN_BENCH=OFF >/dev/null
cmake --build build --target mirlan -j"$(nproc)"
exec ./build/app/mirlan "$@"
