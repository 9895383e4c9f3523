#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each on a scratch copy of its seed corpus, one after the other.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     each target for SECONDS (default 30)
#   scripts/fuzz.sh --runs=N [TARGET...]      each target for N executions
# Targets: fuzz_symboltable fuzz_simple_types fuzz_generic_importer fuzz_xkb_importer
# fuzz_document_dtd fuzz_dtd.
# A crash stops that target, keeps its input as build-fuzz/<target>-crash-*, prints the
# end of the log (build-fuzz/<target>.log) and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=(-max_total_time=30)
if [[ ${1:-} == --runs=* ]]; then
  limit=(-runs="${1#--runs=}"); shift
elif [[ ${1:-} =~ ^[0-9]+$ ]]; then
  limit=(-max_total_time="$1"); shift
fi
dir=build-fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_SHARED_LIBS=OFF -DOSTREL_FUZZ=ON \
  -DOSTREL_BUILD_TESTS=OFF -DOSTREL_BUILD_EXAMPLES=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_symboltable fuzz_simple_types fuzz_generic_importer fuzz_xkb_importer
           fuzz_document_dtd fuzz_dtd)
fi
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

corpus_of() {
  case $1 in
    fuzz_symboltable) echo tests/fuzz/corpus/symboltable ;;
    fuzz_simple_types) echo tests/fuzz/corpus/simple_types ;;
    fuzz_document_dtd) echo tests/fuzz/corpus/document_dtd ;;
    fuzz_dtd) echo tests/fuzz/corpus/dtd ;;
    *) echo tests/fuzz/corpus/documents ;;
  esac
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${targets[@]}"; do
  work=$dir/corpus-$t
  rm -rf "$work" && mkdir -p "$work"
  cp -r "$(corpus_of "$t")"/. "$work"/
  # Documents get a dictionary of XML tokens; values are short texts.
  options=(-max_len=65536)
  [[ $t == *importer || $t == fuzz_document_dtd ]] && options+=(-dict=tests/fuzz/xml.dict)
  [[ $t == fuzz_dtd ]] && options+=(-dict=tests/fuzz/dtd.dict)
  [[ $t == fuzz_simple_types ]] && options=(-max_len=4096)
  echo "== $t (${limit[*]})"
  start=$(date +%s)
  if ! "$dir/tests/fuzz/$t" "${limit[@]}" "${options[@]}" -timeout=10 -rss_limit_mb=4096 \
       -print_final_stats=1 -artifact_prefix="$dir/$t-" "$work" >"$dir/$t.log" 2>&1; then
    echo "$t FAILED; see $dir/$t.log"; tail -60 "$dir/$t.log"; status=1
  else
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/$t.log")
    echo "$t: $runs executions in $(( $(date +%s) - start )) s, no crash"
  fi
done
exit $status
