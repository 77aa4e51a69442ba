#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the Debian packages the build and the tests need; quiet and quick
# when everything is present already.
set -eu

PACKAGES="
  build-essential cmake pkg-config clang libclang-rt-14-dev clang-format
  qt6-base-dev qt6-webengine-dev qt6-tools-dev libgl-dev
  libqrcodegencpp-dev libgtest-dev libgmock-dev libbenchmark-dev
  libzxing-dev zxing-cpp-tools zbar-tools libzint-dev zint zint-qt qrencode python3
  xvfb xauth xdotool x11-utils imagemagick
  fonts-noto-cjk fonts-arphic-uming
  desktop-file-utils appstream
"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing:$missing" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
