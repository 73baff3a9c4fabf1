#!/usr/bin/env bash
# Installs the Debian packages shiori needs to build, test and play, when any of them is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-14 libclang-rt-14-dev time
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libpulse-dev fonts-wqy-zenhei
  pulseaudio pulseaudio-utils
  xvfb xauth xdotool x11-utils python3
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
