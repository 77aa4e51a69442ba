#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds everything and runs every test: once in an optimised build with
# warnings as errors, once under AddressSanitizer and UndefinedBehaviorSanitizer; then runs
# each fuzz target briefly.
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

echo "== fuzz smoke =="
# A clang build of only what the fuzz targets need; each runs a few seconds over its corpus.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRGEN_FUZZ=ON \
  -DQRGEN_TESTS=OFF -DQRGEN_BENCH=OFF "-DQRGEN_SKIP=toolkit;encoder;app;ui" >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_targets
ctest --test-dir build-fuzz --output-on-failure -j"$jobs" -L fuzz
