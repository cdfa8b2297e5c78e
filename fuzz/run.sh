#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and libFuzzer, and runs
# each reader for SECONDS seconds (600 by default). Not part of ./test.sh.
#   fuzz/run.sh [SECONDS] [dbase|paradox|access|xlsx|xls ...]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-600}
shift || true
TARGETS=${*:-dbase paradox access xlsx xls}
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DVELLUMAR_FUZZ=ON -DVELLUMAR_TESTS=OFF >/dev/null
for t in $TARGETS; do
  cmake --build build-fuzz --target fuzz-$t -j2 >/dev/null
  mkdir -p build-fuzz/corpus/$t
  python3 fuzz/graines.py build-fuzz/corpus
  if [ "$t" = paradox ]; then
    cmake --build build-fuzz --target graines-paradox -j2 >/dev/null
    build-fuzz/bin/graines-paradox build-fuzz/corpus/paradox
  fi
  echo "== $t: ${SECONDS_PER_TARGET} s"
  build-fuzz/bin/fuzz-$t build-fuzz/corpus/$t -max_total_time=$SECONDS_PER_TARGET -rss_limit_mb=4096 -timeout=25 -artifact_prefix=build-fuzz/ \
    -print_final_stats=1 2>&1 | grep -E 'stat::number_of_executed_units|stat::peak_rss|ERROR|SUMMARY|Done|Test unit written' || true
done
