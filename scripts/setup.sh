#!/usr/bin/env bash
# Installs, when missing, every Debian package the project needs to build,
# test and run. Idempotent and quiet when everything is present; refreshes the
# package lists only when something has to be installed.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libfreetype-dev libfontconfig-dev libpng-dev zlib1g-dev libdeflate-dev libisal-dev
  libgtest-dev libbenchmark-dev
  fonts-dejavu-core fonts-urw-base35 fonts-liberation2
  fonts-ipafont-gothic fonts-ipafont-mincho
  libexpat1-dev librsvg2-bin
  qt6-base-dev qt6-qpa-plugins qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q >/dev/null
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
