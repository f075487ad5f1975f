#!/usr/bin/env bash
# Installs the Debian packages Fretlyn builds and tests with. Quick when they are all there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libfontconfig-dev libsqlite3-dev sqlite3 libqpdf-dev qpdf
  poppler-utils xvfb xauth fonts-dejavu-core fonts-liberation fonts-wqy-microhei xdg-utils
  xdotool matchbox-window-manager
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

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
