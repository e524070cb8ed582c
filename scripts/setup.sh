#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tavrel needs.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build ccache g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-pdf-dev
  libsqlite3-dev sqlite3 libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils libxml2-utils python3 zbar-tools zint
  fonts-dejavu-core fonts-liberation2 libgl1-mesa-dev
  xvfb xdotool imagemagick
  unrtf csvkit
  libxml2-dev xsltproc vsftpd dovecot-pop3d python3-aiosmtpd
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
