#!/usr/bin/env bash
# Configures and builds the cross build in build/ (installing what is missing first).
set -euo pipefail
TARVOX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$TARVOX_ROOT/scripts/install-deps.sh"
TARVOX_BUILD_DIR="${TARVOX_BUILD_DIR:-$TARVOX_ROOT/build}"
cmake -S "$TARVOX_ROOT" -B "$TARVOX_BUILD_DIR" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$TARVOX_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE="${TARVOX_BUILD_TYPE:-Release}" "$@"
cmake --build "$TARVOX_BUILD_DIR" --parallel "$(nproc)"
