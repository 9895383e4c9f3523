#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs each for SECONDS seconds (default 30) on a scratch copy of its seed corpus.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
dir=build-fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_SHARED_LIBS=OFF -DOSTREL_FUZZ=ON \
  -DOSTREL_BUILD_TESTS=OFF -DOSTREL_BUILD_EXAMPLES=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_symboltable fuzz_simple_types fuzz_generic_importer fuzz_xkb_importer)
fi
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

corpus_of() {
  case $1 in
    fuzz_symboltable) echo tests/fuzz/corpus/symboltable ;;
    fuzz_simple_types) echo tests/fuzz/corpus/simple_types ;;
    *) echo tests/fuzz/corpus/documents ;;
  esac
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${targets[@]}"; do
  work=$dir/corpus-$t
  rm -rf "$work" && mkdir -p "$work"
  cp -r "$(corpus_of "$t")"/. "$work"/
  echo "== $t for ${seconds}s"
  if ! "$dir/tests/fuzz/$t" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
       -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$dir/$t-" "$work" \
       >"$dir/$t.log" 2>&1; then
    echo "$t FAILED; see $dir/$t.log"; tail -40 "$dir/$t.log"; status=1
  else
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$dir/$t.log" | tail -2
  fi
done
exit $status
