#!/bin/bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each for the given number of seconds (600 by default), one after the other, starting
# from the committed corpus. New inputs collect in build/fuzz/corpus/; findings land in
# build/fuzz/findings/. Usage: tools/fuzz.sh [seconds] [target ...]
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=${*:-archive_v1 archive_v2}

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++-14 \
  -DVANDREL_FUZZ=ON
for target in $targets; do
  cmake --build build/fuzz -j 2 --target "${target}_fuzz"
done

for target in $targets; do
  corpus=build/fuzz/corpus/$target
  findings=build/fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  # An allocation of over 32 MiB is sized by a damaged field, so it is a finding; a run of over
  # 10 s is a hang.
  nice -n 10 "build/fuzz/tests/fuzz/${target}_fuzz" "$corpus" \
    "tests/fuzz/corpus/$target" -dict=tests/fuzz/vandrel.dict -max_total_time="$seconds" \
    -malloc_limit_mb=32 -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$findings/" \
    -print_final_stats=1 2>&1 | tee "build/fuzz/$target.log" | grep -v '^#[0-9]*.*\(NEW\|REDUCE\)'
done
