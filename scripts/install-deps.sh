#!/usr/bin/env bash
# Installs the Debian packages shiori needs to build, test and play, when any of them is missing, and the
# JavaScript packages of the web page and its tests (package-lock.json) when they are not installed as locked.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-14 libclang-rt-14-dev time
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n libpulse-dev fonts-ipaexfont-gothic
  pulseaudio pulseaudio-utils
  xvfb xauth xdotool x11-utils python3
  emscripten nodejs googletest chromium python3-fonttools python3-brotli clang-format
)

install_node_packages() {
  local root
  root="$(cd "$(dirname "$0")/.." && pwd)"
  # The lock file as last installed is kept beside the packages: when the two differ, install again.
  local installed="$root/node_modules/.installed-package-lock.json"
  if ! cmp -s "$root/package-lock.json" "$installed" 2>/dev/null; then
    (cd "$root" && npm ci --no-audit --no-fund --loglevel=error)
    cp "$root/package-lock.json" "$installed"
  fi
}

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  install_node_packages
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_node_packages
