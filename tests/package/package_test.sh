#!/usr/bin/env bash
# Installs the build into a fresh prefix, builds a small caller project against the installed
# CMake package and runs it under Wine.
set -euo pipefail
build_dir="$1"; source_dir="$2"; toolchain="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
test -f "$work/prefix/bin/tarvox.dll"
test -f "$work/prefix/bin/CfgKern.dll"
test -f "$work/prefix/lib/libtarvox.dll.a"
test -f "$work/prefix/include/tarvox/tarvox.h"
cmake -S "$source_dir/tests/package/caller" -B "$work/caller" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTarvox_DIR="$work/prefix/lib/cmake/Tarvox" >/dev/null
cmake --build "$work/caller" >/dev/null
output="$(wine "$work/caller/caller.exe")"
echo "$output"
[[ "$output" == *"caller ok"* ]]
