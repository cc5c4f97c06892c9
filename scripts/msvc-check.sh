#!/usr/bin/env bash
# Compiles every library source as MSVC's C++20 mode would see it, and searches the library for
# GNU-only tokens. A stand-in for a real MSVC build, not one: clang 14 in MSVC mode with libc++
# and Wine's SDK and CRT headers (tools/msvc-check/include fills the gaps of Wine's headers).
# Prints one line per failing file and an "N passed, N failed" line; fails on any error or
# warning. Work files go to build-msvc-check/.
set -euo pipefail
TARVOX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TARVOX_EXTRA_PACKAGES="${TARVOX_EXTRA_PACKAGES:-} libc++-14-dev libwine-dev" \
  "$TARVOX_ROOT/scripts/install-deps.sh"
out="${TARVOX_MSVC_CHECK_DIR:-$TARVOX_ROOT/build-msvc-check}"
wine_include=/usr/include/wine/wine
mingw_include=/usr/x86_64-w64-mingw32/include
clang_resource="$(clang++-14 -print-resource-dir)/include"

# The library: every top-level folder with a CMakeLists.txt except those of the tests, tools,
# stand-in modules, benchmark and fuzz build, so that a new layer is checked without a change here.
mapfile -t folders < <(cd "$TARVOX_ROOT" && for f in */CMakeLists.txt; do dirname "$f"; done |
  grep -vxE 'tests|tools|stubs|bench|fuzz')
mapfile -t sources < <(cd "$TARVOX_ROOT" && find "${folders[@]}" -name '*.cpp' | sort)
mapfile -t headers < <(cd "$TARVOX_ROOT" && find "${folders[@]}" include -name '*.h' | sort)
if ((${#sources[@]} == 0)); then
  echo "MSVC-mode check: no library sources found"; exit 1
fi

# MSVC's CRT has no unistd.h or dirent.h: a copy of Wine's CRT headers without them, so that a
# source that includes them fails here as it would under MSVC. MinGW's ComPtr stands in for the
# Windows SDK's wrl/client.h, which Wine lacks.
rm -rf "$out"
mkdir -p "$out/crt" "$out/sdk/wrl" "$out/logs"
cp -r "$wine_include/msvcrt/." "$out/crt/"
rm -f "$out/crt/unistd.h" "$out/crt/dirent.h"
cp "$mingw_include/wrl/client.h" "$mingw_include/wrl/internal.h" "$out/sdk/wrl/"

flags=(--target=x86_64-pc-windows-msvc -fms-compatibility -fms-extensions
  -fno-delayed-template-parsing -std=c++20 -fsyntax-only
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wno-cast-function-type
  -nostdinc -isystem /usr/lib/llvm-14/include/c++/v1
  -isystem "$TARVOX_ROOT/tools/msvc-check/include" -isystem "$clang_resource"
  -isystem "$out/crt" -isystem "$wine_include/windows" -isystem "$out/sdk"
  -D_LIBCPP_NO_VCRUNTIME -DWINE_UNICODE_NATIVE
  -DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00 -DTARVOX_BUILDING
  -I"$TARVOX_ROOT/include" -I"$TARVOX_ROOT")
printf '%s\n' "${flags[@]}" >"$out/flags"

# One compiler per source, as many at a time as there are cores; each leaves its messages in
# logs/ and its exit status beside them.
cd "$TARVOX_ROOT"
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -I{} sh -c '
  log="$1/logs/$(echo "$2" | tr / _)"
  clang++-14 @"$1/flags" "$2" >"$log.txt" 2>&1; echo $? >"$log.rc"' _ "$out" {}

passed=0
failed=0
fail() { echo "FAILED $1: $2"; failed=$((failed + 1)); }
gnu_only='__attribute__|__builtin_|\<asm[[:space:]]*(\(|volatile)|__asm(__)?\>|__int128|__PRETTY_FUNCTION__'
for file in "${sources[@]}" "${headers[@]}"; do
  problems=()
  if [[ $file == *.cpp ]]; then
    log="$out/logs/$(echo "$file" | tr / _)"
    if [[ $(cat "$log.rc") != 0 ]]; then problems+=("does not compile")
    elif grep -q 'warning:' "$log.txt"; then problems+=("compiles with warnings"); fi
  fi
  if grep -qE "$gnu_only" "$file"; then problems+=("GNU-only tokens"); fi
  if ((${#problems[@]})); then
    fail "$file" "$(IFS=,; echo "${problems[*]}" | sed 's/,/, /g')"
    [[ $file == *.cpp ]] && grep -E 'error:|warning:' "$log.txt" | head -10 | sed 's/^/  /' || true
    grep -nE "$gnu_only" "$file" | head -5 | sed "s|^|  $file:|" || true
  else
    passed=$((passed + 1))
  fi
done
echo "MSVC-mode check (${#sources[@]} sources compiled, ${#headers[@]} headers searched): $passed passed, $failed failed"
((failed == 0))
