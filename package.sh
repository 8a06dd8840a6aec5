#!/usr/bin/env bash
# Installs what is missing, builds Release and writes dist/sornel_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORNEL_BUILD_TESTS=OFF \
    -DSORNEL_BUILD_BENCH=OFF >/dev/null
cmake --build build/package --target sornel
mkdir -p dist
(cd build/package && cpack -G DEB -B "$PWD/../../dist" >/dev/null)
rm -rf dist/_CPack_Packages
ls dist/sornel_*.deb
