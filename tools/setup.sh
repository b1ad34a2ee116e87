#!/usr/bin/env bash
# Installs what building, running and testing Valvix needs on a Debian machine, plus
# any further packages named as arguments. Only missing packages are installed; run as
# root or with sudo available.
set -euo pipefail

packages=(
  g++ cmake ninja-build clang-format
  qt6-base-dev qt6-image-formats-plugins
  libbenchmark-dev ngspice
  desktop-file-utils appstream shared-mime-info libxml2-utils groff-base dpkg-dev file
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
