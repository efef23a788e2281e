#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the fuzzers need.
# Idempotent: packages already present are skipped, so a second run is quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6sql6-sqlite libqt6opengl6-dev
  libgl-dev libcurl4-openssl-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth
  nginx-light tinyproxy curl openssl python3-aiosmtpd
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
