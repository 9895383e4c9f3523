#!/usr/bin/env bash
# Builds the library and runs the example program, which writes and prints a document.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target example_catalog
build/examples/example_catalog build/catalog.xml
