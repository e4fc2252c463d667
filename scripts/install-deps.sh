#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need.
# Idempotent: apt is asked only for what is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libwxgtk3.2-dev
  libjpeg62-turbo-dev libpng-dev libtiff-dev zlib1g-dev libopenjp2-7-dev
  libssl-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libfontconfig-dev
  xvfb xauth imagemagick
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

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
