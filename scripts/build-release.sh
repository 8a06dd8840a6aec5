#!/usr/bin/env bash
# Installs what is missing and builds the program (Release) in build/release, the build that
# ./run.sh starts and ./package.sh packs.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORNEL_BUILD_TESTS=OFF \
    -DSORNEL_BUILD_BENCH=ON >/dev/null
cmake --build build/release --target sornel
