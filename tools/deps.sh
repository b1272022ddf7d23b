#!/usr/bin/env bash
# Installs the Debian packages Orvane needs, when any is missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libasound2-dev libjpeg62-turbo-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core desktop-file-utils
          zlib1g-dev xvfb openbox x11-utils xdg-utils libfile-mimeinfo-perl libglib2.0-bin)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y "${missing[@]}"
fi
