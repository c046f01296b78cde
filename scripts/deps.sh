#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those still missing.
set -euo pipefail
PACKAGES=(
  g++ cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev libsdl2-dev libgtest-dev
  xvfb xdotool x11-utils imagemagick fonts-noto-color-emoji fonts-dejavu-core fonts-liberation2
  clang libclang-rt-14-dev clang-format procps
  libxtst-dev libxdamage-dev
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q "${missing[@]}"
