#!/usr/bin/env bash
# Installs, through apt-get, every Debian package that building, running and testing Sornel
# needs, and only those that are missing. Safe to run again: with everything present it
# changes nothing and touches no network.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  # engine: character sets, HTTP, TLS
  libicu-dev libcurl4-openssl-dev libssl-dev openssl ca-certificates
  # desktop program
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6 qt6-qpa-plugins
  libgl-dev fonts-noto-cjk python3 qt6-translations-l10n
  # tests, benchmarks and looking at the program without a screen
  libgtest-dev libgmock-dev googletest libbenchmark-dev libcpp-httplib-dev
  xvfb xauth imagemagick
  # the Debian package (./package.sh) and its checks
  dpkg-dev file desktop-file-utils appstream
  # the journeys: the built program on a private desktop, driven like a user drives it
  openbox trayer xdotool dbus at-spi2-core python3-pyatspi pulseaudio pulseaudio-utils
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if ((EUID != 0)); then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: these packages are missing and installing them needs root (or sudo): ${missing[*]}" >&2
    exit 1
  fi
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
