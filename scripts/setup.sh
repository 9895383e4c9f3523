#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing (run as root).
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev googletest libxml2-dev libxml2-utils xkb-data
          iso-codes shared-mime-info fontconfig-config clang libclang-rt-14-dev curl ca-certificates)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
