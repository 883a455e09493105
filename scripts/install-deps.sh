#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need.
# Only touches apt when something is missing, so repeated runs are quick.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config make
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins libgl-dev
  libmpv-dev libjpeg62-turbo-dev
  xvfb xauth x11-utils openbox xdotool ffmpeg fonts-liberation xdg-utils
  desktop-file-utils appstream lintian librsvg2-bin dpkg-dev imagemagick
  libfuse3-dev fuse3 libxcb1-dev liblcms2-dev libgs-common libheif-dev libheif-examples libavif-bin libjxl-dev libjxl-tools
  python3-pil python3-numpy
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
