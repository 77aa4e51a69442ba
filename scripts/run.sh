#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the program and starts it.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target qrgen qrcodewin32
exec build/bin/qrgen
