#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# but only those that are missing.
set -euo pipefail
packages=(
  cmake g++ ninja-build pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-translations-l10n libjpeg62-turbo-dev libfreexl-dev zlib1g-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  calculix-ccx poppler-utils
  dpkg-dev desktop-file-utils shared-mime-info
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
