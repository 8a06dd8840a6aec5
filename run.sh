#!/usr/bin/env bash
# Installs what is missing, builds the program (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/build-release.sh

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "run.sh: there is no display to show the window on; run it in a desktop session, or under a virtual one: xvfb-run -s '-screen 0 1280x800x24' ./run.sh" >&2
    exit 1
fi
exec build/release/src/sornel
