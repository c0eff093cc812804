#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, only what is missing.
set -euo pipefail
packages=(build-essential cmake g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev libpng-dev libsqlite3-dev libcli11-dev nlohmann-json3-dev clang libclang-rt-14-dev
          fonts-dejavu-core qt6-svg-dev scdoc man-db gzip file dpkg-dev lintian desktop-file-utils
          appstream shared-mime-info xvfb openbox x11-utils fonts-wine python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
