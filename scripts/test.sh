#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds everything and runs every test: once in an optimised build with
# warnings as errors, once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs="$(nproc)"

echo "== release build =="
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRGEN_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== sanitizer build =="
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQRGEN_WERROR=ON -DQRGEN_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
