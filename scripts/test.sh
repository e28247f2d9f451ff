#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test: unit, end-to-end (under
# private Xvfb servers) and a bounded fuzzing run.
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
echo "All tests passed."
