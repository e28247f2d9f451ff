#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test: unit, end-to-end (under
# private Xvfb servers) and a bounded fuzzing run. Then builds the
# benchmarks in a Release configuration and runs each briefly on small inputs,
# so that they keep building and running (their timings are not checked).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
oe_install_deps

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-asan -G Ninja -DOE_SANITIZE=ON -DOE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 600)

if [ -x scripts/run-fuzz.sh ]; then
  scripts/run-fuzz.sh "${OE_FUZZ_SECONDS:-60}"
fi
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DOE_BENCH=ON -DOE_TESTS=OFF
cmake --build build-release -j"$jobs" --target benchmarks
bench_dir=$(mktemp -d)
trap 'rm -rf "$bench_dir"' EXIT
for bench in build-release/bench/bench_*; do
  echo "== $bench (small inputs, a short run)"
  OE_BENCH_DIR="$bench_dir" OE_BENCH_SMALL=1 OE_BENCH_ROUNDS=1 \
    "$bench" --benchmark_min_time=0.01
done

echo "All tests passed."
