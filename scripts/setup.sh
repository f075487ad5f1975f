#!/usr/bin/env bash
# Installs the Debian packages Fretlyn builds and tests with. Quick when they are all there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libfontconfig-dev libsqlite3-dev sqlite3 libqpdf-dev qpdf
  poppler-utils xvfb xauth fonts-dejavu-core fonts-liberation fonts-wqy-microhei xdg-utils
  xdotool matchbox-window-manager openbox x11-utils
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
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    # A Debian installed with a root password has no sudo: root has to install them.
    {
      echo "setup: these packages are missing: ${missing[*]}"
      echo "setup: sudo is not installed, so they cannot be installed from this account."
      echo "setup: install them as root (for example after 'su -'), then run this again:"
      echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
    } >&2
    exit 1
  fi
  SUDO="sudo"
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
