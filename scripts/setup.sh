#!/usr/bin/env bash
# Installs, on a fresh Debian 12 machine as root, every package the build,
# the tests and the programs need. Does nothing when all are present.
set -euo pipefail

packages=(
  g++ cmake ninja-build clang-format git
  qt6-base-dev
  # Qt's PDF module (the program's documents shown in a window of its own)
  # and lrelease (the Italian texts of Qt's dialogs that Qt's translation lacks)
  qt6-pdf-dev qt6-l10n-tools
  firebird3.0-server-core firebird3.0-utils libfbclient2 firebird-dev
  firebird3.0-server
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  qt6-translations-l10n
  poppler-utils
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
# The Firebird server package is there for its program only: the tests start
# a private server of their own on 127.0.0.1, and the programs use the
# embedded engine. Its system service is kept from starting while it is
# installed (a policy that refuses every service start, for the time of the
# install, unless the machine has one of its own).
policy=/usr/sbin/policy-rc.d
own_policy=0
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' > "$policy"
  chmod +x "$policy"
  own_policy=1
fi
trap '[ "$own_policy" = 1 ] && rm -f "$policy"' EXIT
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
