#!/usr/bin/env bash
# Installs what building, running and testing Valvix needs on a Debian machine, plus
# any further packages named as arguments. Only missing packages are installed, as root
# or through sudo; with neither, it names the packages to install and stops.
set -euo pipefail

packages=(
  g++ cmake ninja-build clang-format
  qt6-base-dev qt6-image-formats-plugins
  libbenchmark-dev ngspice libceres-dev libopencv-imgproc-dev
  libtesseract-dev tesseract-ocr-eng
  desktop-file-utils appstream shared-mime-info libxml2-utils groff-base dpkg-dev file
  fonts-dejavu-core
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Valvix needs these Debian packages, which are not installed:" >&2
    echo "  ${missing[*]}" >&2
    echo "This user is not root and sudo is not available. As root, run:" >&2
    echo "  apt-get install --no-install-recommends ${missing[*]}" >&2
    echo "then start this script again." >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
