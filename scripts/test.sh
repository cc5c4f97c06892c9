#!/usr/bin/env bash
# Builds everything and runs every test under Wine: the one test command.
set -euo pipefail
TARVOX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$TARVOX_ROOT/scripts/build.sh"
source "$TARVOX_ROOT/scripts/wine-env.sh"
tarvox_wine_prefix
# Wine's desktop process binds to the display the server's first process sees: the display
# comes first.
tarvox_virtual_display
tarvox_wine_server
tarvox_full_drive
# A Wine process now and then ends at start-up before the program runs (no output, 0.00 s, seen
# under heavy load): a failed test runs once more, so a real fault still fails twice.
ctest --test-dir "$TARVOX_BUILD_DIR" --output-on-failure --parallel "$(nproc)" \
  --timeout 600 --repeat until-pass:2 "$@"
# The native fuzz targets over their seed corpora (with the sanitizers): the corpus is the
# regression suite of what fuzzing found.
# Then every library source compiled the way MSVC sees it (a stand-in for an MSVC build), and
# every source checked against the house style.
if [[ $# -eq 0 ]]; then
  "$TARVOX_ROOT/scripts/fuzz.sh" --replay
  "$TARVOX_ROOT/scripts/msvc-check.sh"
  "$TARVOX_ROOT/scripts/format.sh" --check
fi
