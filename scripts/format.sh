#!/usr/bin/env bash
# Applies the house style (.clang-format) to every C++ source of the repository.
#   scripts/format.sh           rewrites the files in place
#   scripts/format.sh --check   lists the files that differ from the style and fails if any do
# The release overloads are written by cmake/generate_release_overloads.cmake and stay as the
# generator writes them.
set -euo pipefail
TARVOX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$TARVOX_ROOT/scripts/install-deps.sh"
cd "$TARVOX_ROOT"
format=clang-format-14
command -v "$format" >/dev/null || format=clang-format

mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v -x \
  -e autocad/release_overloads.cpp -e autocad/folder_members.cpp \
  -e include/tarvox/acad_folders_by_year.h -e include/tarvox/acad_releases.h)

if [[ $# -gt 0 && $1 == --check ]]; then
  status=0
  for file in "${files[@]}"; do
    if ! "$format" --dry-run -Werror "$file" >/dev/null 2>&1; then echo "not in the house style: $file"; status=1; fi
  done
  ((status == 0)) && echo "house style: ${#files[@]} files checked"
  exit "$status"
fi
"$format" -i "${files[@]}"
