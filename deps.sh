#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail
PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-l10n-tools qt6-tools-dev-tools
  zlib1g-dev libjpeg-dev libsqlite3-dev
  libgtest-dev googletest
  fonts-liberation2
  libzint-dev libzxing-dev
  pxlib-dev mdbtools-dev libglib2.0-dev libfreexl-dev libzip-dev
  qpdf poppler-utils
  glabels-data time
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installation des paquets manquants : ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
