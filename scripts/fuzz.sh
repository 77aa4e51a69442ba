#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs the fuzz targets for a while each and keeps what they find.
#   scripts/fuzz.sh [seconds] [target...]   (default: 60 seconds; picture encoder codepage)
#   BUILD_DIR   clang build folder to use (default: build-fuzz)
#   FUZZ_WORK   working corpora and crash files (default: $BUILD_DIR/fuzz-work)
# Each target starts from fuzz/corpus/<target> and its working corpus; inputs that reach new
# coverage are merged into the working corpus, never into the source tree. Crashes land in
# $FUZZ_WORK/<target>/artifacts; copy one into fuzz/corpus/<target> once its bug is fixed.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets="${*:-picture encoder codepage}"
build="${BUILD_DIR:-build-fuzz}"
work="${FUZZ_WORK:-$build/fuzz-work}"
case "$work" in /*) ;; *) work="$PWD/$work" ;; esac

scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRGEN_FUZZ=ON \
  -DQRGEN_TESTS=OFF -DQRGEN_BENCH=OFF "-DQRGEN_SKIP=toolkit;encoder;app;ui" >/dev/null
for target in $targets; do
  cmake --build "$build" -j2 --target "${target}_fuzz" >/dev/null
done

failed=0
summary=""
for target in $targets; do
  corpus="$work/$target/corpus"
  found="$work/$target/new"
  artifacts="$work/$target/artifacts"
  log="$work/$target/fuzz.log"
  rm -rf "$found"
  mkdir -p "$corpus" "$found" "$artifacts"
  echo "== $target: $seconds s ==" >&2
  status=0
  "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$found" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1 ||
    status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  last="$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)"
  cov="$(echo "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')"
  ft="$(echo "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')"
  # Only inputs that add coverage to the working corpus are kept.
  "$build/fuzz/${target}_fuzz" -merge=1 "$corpus" "$found" >"$log.merge" 2>&1 || true
  rm -rf "$found"
  files="$(find "$corpus" -type f | wc -l)"
  line="$target: ${runs:-?} runs, cov ${cov:-?}, ft ${ft:-?}, working corpus $files files"
  if [ "$status" -ne 0 ]; then
    failed=1
    line="$line, FAILED (exit $status; see $log and $artifacts)"
  fi
  summary="$summary$line
"
done
printf '%s' "$summary"
exit "$failed"
