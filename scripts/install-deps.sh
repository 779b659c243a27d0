#!/usr/bin/env bash
# Installs the Debian 12 packages that Wellfit needs to build and test, if any are missing.
set -euo pipefail
packages=(
  build-essential cmake
  googletest libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev libvulkan-dev
  libopenblas-dev
  dpkg-dev file help2man desktop-file-utils appstream pkg-config lintian
  clang libclang-rt-14-dev
  xvfb xauth xdotool qt6-qpa-plugins
  python3-dev python3-venv python3-pip python3-setuptools python3-wheel pybind11-dev python3-pybind11
  python3-numpy python3-pytest python3-matplotlib python3-tqdm
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
