#!/usr/bin/env bash
# Builds the benchmark program in build-bench/ (Release, with SimpleIni) and runs it under
# Wine; the table goes to stdout and to build-bench/bench-results.md.
#   scripts/bench.sh [--quick]
set -euo pipefail
TARVOX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export TARVOX_BUILD_DIR="${TARVOX_BENCH_BUILD_DIR:-$TARVOX_ROOT/build-bench}"
export TARVOX_EXTRA_PACKAGES="libsimpleini-dev ${TARVOX_EXTRA_PACKAGES:-}"
TARVOX_BUILD_TYPE=Release "$TARVOX_ROOT/scripts/build.sh" -DTARVOX_BUILD_BENCH=ON -DTARVOX_BUILD_TESTS=OFF >/dev/null
source "$TARVOX_ROOT/scripts/wine-env.sh"
tarvox_wine_prefix
tarvox_wine_server
status=0
"$TARVOX_WINE" "$TARVOX_BUILD_DIR/bin/tarvox_bench.exe" "$@" | tee "$TARVOX_BUILD_DIR/bench-results.md" || status=$?
exit "$status"
