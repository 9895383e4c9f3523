#!/usr/bin/env bash
# The main job: builds the library, the example and the ostrel tool; runs the example,
# which writes and prints a document, then has ostrel read the keyboard registry the
# project ships and write it back.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target example_catalog ostrel
build/tools/ostrel/ostrel roundtrip samples/keyboards.xml build/keyboards.xml
build/examples/example_catalog build/catalog.xml
