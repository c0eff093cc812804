#!/usr/bin/env bash
# Installs what the Windows cross build and its tests under wine need on
# Debian 12, only what is missing: the mingw-w64 compiler (POSIX threads),
# GoogleTest's sources, Ninja, the two header libraries of pylonctl, and wine
# (about 100 MB to fetch; well under a minute).
set -euo pipefail
packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools googletest ninja-build libcli11-dev nlohmann-json3-dev
          wine64 wine)
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
