#!/usr/bin/env bash
# Installs, on a fresh Debian 12 machine as root, every package the build,
# the tests and the programs need. Does nothing when all are present.
set -euo pipefail

packages=(
  g++ cmake ninja-build
  qt6-base-dev libqt6sql6-ibase
  firebird3.0-server-core firebird3.0-utils libfbclient2 firebird-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  qt6-translations-l10n
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${missing[*]}); run as root to install them" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
