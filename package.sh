#!/usr/bin/env bash
# Installs what is missing, builds Release and writes dist/sornel_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/build-release.sh
mkdir -p dist
(cd build/release && cpack -G DEB -B "$PWD/../../dist" >/dev/null)
rm -rf dist/_CPack_Packages
ls dist/sornel_*.deb
