#!/bin/sh
# Builds the fuzz targets (attribute tree, search matcher, language
# definitions, auto-indent parser) with clang and libFuzzer
# (-fsanitize=fuzzer,address,undefined) in its own build directory and runs
# each for a quarter of a bounded time from its seed corpus.
#
#   scripts/run-fuzz.sh [seconds]     (default 60)
#
# Exits non-zero when the fuzzer finds a crash, a leak, undefined behaviour
# or a time-out; the input that caused it is left in build-fuzz/artifacts/.
# Copy it into tests/fuzz/regressions/ so that every build replays it.
# Needs clang, libFuzzer's runtime (Debian: clang and libclang-rt-14-dev),
# cmake and ninja. OE_FUZZ_BUILD overrides the build directory.
set -eu

seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OE_FUZZ_BUILD:-$root/build-fuzz}

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
  -DOE_FUZZ=ON -DOE_TESTS=ON -DOE_BENCH=OFF >/dev/null
cmake --build "$build" --target attribute_tree_fuzzer srchmatch_fuzzer \
  language_definition_fuzzer aindent_fuzzer

mkdir -p "$build/artifacts"
status=0
share=$(( seconds / 4 > 0 ? seconds / 4 : 1 ))
for target in attribute_tree srchmatch language_definition aindent; do
  # New inputs go to a scratch corpus; the seeds in the tree stay as they are.
  work=$build/corpus-$target
  mkdir -p "$work"
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/${target}_fuzzer" \
    -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -artifact_prefix="$build/artifacts/" -print_final_stats=1 \
    "$work" "$root/tests/fuzz/${target}_corpus" || status=$?
done
if [ "$status" -ne 0 ]; then
  echo "run-fuzz: the fuzzer failed (status $status); see $build/artifacts/" >&2
fi
exit "$status"
