#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need.
# Idempotent: apt is asked only for what is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libwxgtk3.2-dev libx11-dev
  libjpeg62-turbo-dev libpng-dev libtiff-dev zlib1g-dev libopenjp2-7-dev libopenjp2-tools
  libssl-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libfontconfig-dev
  libcairo2-dev libfreetype-dev fonts-dejavu-core
  libgif-dev
  xvfb xauth imagemagick openbox
  ghostscript
  tinyproxy dante-server openssl
  iproute2 util-linux
)

# The socket tests run their own proxy servers; the SOCKS server checks user name and
# password against this account.
ensure_socks_test_account() {
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  if ! id lfsockstest >/dev/null 2>&1; then
    $sudo useradd --system --no-create-home --shell /usr/sbin/nologin lfsockstest
    echo 'lfsockstest:lfsockstest-pw' | $sudo chpasswd
  fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  ensure_socks_test_account
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
# The proxy packages would start system services of their own (one of them fails
# without a configuration): keep apt from starting any while it installs.
policy=/usr/sbin/policy-rc.d
made_policy=""
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
  $sudo chmod 755 "$policy"
  made_policy=1
fi
status=0
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" || status=$?
if [ -n "$made_policy" ]; then $sudo rm -f "$policy"; fi
[ "$status" -eq 0 ] || exit "$status"
ensure_socks_test_account
