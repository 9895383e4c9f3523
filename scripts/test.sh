#!/usr/bin/env bash
# Builds and runs every test twice: a plain build, and one under AddressSanitizer and
# UndefinedBehaviorSanitizer; then runs each fuzzer for a short fixed time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/fetch-xmlconf.sh || echo "warning: no W3C XML conformance suite; its cases are skipped" >&2
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== plain build"
run_suite build
echo "== sanitizer build (address, undefined)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build-sanitize -DOSTREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
echo "== fuzzing (libFuzzer, 30 s per target; scripts/fuzz.sh SECONDS runs longer)"
unset ASAN_OPTIONS UBSAN_OPTIONS
scripts/fuzz.sh 30
