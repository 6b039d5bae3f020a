#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those
# already present. Safe to run again.
set -euo pipefail

packages=(
  cmake make g++ libgtest-dev googletest python3
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth xdotool x11-utils libxfixes3 imagemagick
  fonts-liberation fonts-noto-cjk
  wixl msitools osslsigncode openssl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
