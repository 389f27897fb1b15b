#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and run, only those missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  qt6-base-dev libgif-dev
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev libdeflate-dev
  xvfb xdotool x11-utils xclip openbox imagemagick python3
  fonts-dejavu-core
  libspng-dev libgdk-pixbuf-2.0-dev libgdk-pixbuf2.0-bin libglib2.0-bin shared-mime-info
  desktop-file-utils lintian groff-base parallel librsvg2-bin dpkg-dev fakeroot file
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"
