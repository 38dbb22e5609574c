#!/usr/bin/env bash
# Fuzzes every target with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, one after the other, for SECONDS each (default
# 60): scripts/fuzz.sh [SECONDS] [TARGET...]. Targets: document settings image
# encoder. The corpus grows in build-fuzz/corpus/<target>/ (seeded from
# fuzz/corpus/ and the inputs fuzz/make_inputs.py makes); a finding is written
# to build-fuzz/findings/<target>/ and ends the script with a failure. Copy a
# small finding into fuzz/corpus/<target>/ once it is mended, so that every
# build's replay keeps it mended.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
ensure_packages "${TESSIVO_BUILD_PACKAGES[@]}" "${TESSIVO_FUZZ_PACKAGES[@]}"

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(document settings image encoder)

# Only the fuzz programs are built: the test suites are for the normal builds.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DTESSIVO_FUZZ=ON -DTESSIVO_SANITIZE=ON -DTESSIVO_WITH_QT=OFF -DTESSIVO_WITH_BENCH=OFF
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}"
python3 fuzz/make_inputs.py build-fuzz/generated

for target in "${targets[@]}"; do
  echo "== fuzzing $target for ${seconds}s"
  mkdir -p "build-fuzz/corpus/$target" "build-fuzz/findings/$target"
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target/" \
      "build-fuzz/corpus/$target" "fuzz/corpus/$target" "build-fuzz/generated/$target"
done
