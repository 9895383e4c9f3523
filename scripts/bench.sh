#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them side by side with the peers: write, read,
# memory and the symbol table, at 1, 10 and 100 MB, median of 5 runs each.
#   scripts/bench.sh [extra Google Benchmark flags...]
# OSTREL_BENCH_SIZES=1,10 picks other sizes; documents are cached in $OSTREL_BENCH_DATA
# (default /tmp/ostrel-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
missing=()
for p in libbenchmark-dev libpugixml-dev libtinyxml2-dev libxml2-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" || true
fi
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_BUILD_BENCH=ON \
  -DOSTREL_BUILD_TESTS=OFF -DOSTREL_BUILD_EXAMPLES=OFF | { grep -E "^-- bench:" || true; }
cmake --build build-bench -j "$(nproc)" --target ostrel_bench memory_probe
build-bench/bench/ostrel_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_display_aggregates_only=true "$@"
