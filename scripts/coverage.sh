#!/usr/bin/env bash
# Line and branch coverage of the library under Wine.
#
# Builds everything in build-coverage/ with the cross compiler's --coverage (unoptimised, so that
# lines and branches are those of the source), runs the tests of the test command under Wine,
# and lets gcovr read the counters: an HTML report in build-coverage/coverage/index.html and one
# line per folder of the library. Only the library and the CuixPort module count; the tests,
# the tools, GoogleTest and the other modules of stubs/ do not. Any CTest arguments can be added
# (scripts/coverage.sh -R Registry). The exit status is CTest's.
#   scripts/coverage.sh --report-only   reads the counters of the last run again (no build, no
#                                       tests), e.g. after a change of the folders reported
set -euo pipefail
TARVOX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export TARVOX_BUILD_DIR="${TARVOX_BUILD_DIR:-$TARVOX_ROOT/build-coverage}"
export TARVOX_EXTRA_PACKAGES="${TARVOX_EXTRA_PACKAGES:-} gcovr"
# Release keeps NDEBUG as in the tested build; -O0 keeps every line and branch where it is written.
# The tests run the library on several threads at once: the counters are updated atomically,
# or increments get lost and gcov derives negative branch counts from them.
export TARVOX_BUILD_TYPE=Release
report_only=0
if [[ $# -gt 0 && $1 == --report-only ]]; then report_only=1; shift; fi
if ((report_only == 0)); then
"$TARVOX_ROOT/scripts/build.sh" \
  "-DCMAKE_C_FLAGS=--coverage -fprofile-update=atomic" \
  "-DCMAKE_CXX_FLAGS=--coverage -fprofile-update=atomic" \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage \
  "-DCMAKE_C_FLAGS_RELEASE=-O0 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELEASE=-O0 -DNDEBUG"
fi

# The gcov of the cross compiler: it must match the compiler that wrote the notes files.
gcov_tool="$(command -v x86_64-w64-mingw32-gcov-posix || command -v x86_64-w64-mingw32-gcov)"
status=0
if ((report_only == 0)); then
# Counters of an earlier run would add up with this one's.
find "$TARVOX_BUILD_DIR" -name '*.gcda' -delete

source "$TARVOX_ROOT/scripts/wine-env.sh"
tarvox_wine_prefix
tarvox_virtual_display
tarvox_wine_server
# Each program writes its counters when it ends, to the absolute path of its object file that the
# compiler recorded (/work/.../x.cpp.gcda). A Windows program reads a path without a drive as
# one on its current drive, which need not be the Linux root: GCOV_PREFIX puts Wine's drive Z:
# (the Linux root) in front, so every program, whatever its current folder, writes into the
# build tree. Wine hands the variable on to the Windows processes and they to their children.
export GCOV_PREFIX=Z:
export GCOV_PREFIX_STRIP=0
ctest --test-dir "$TARVOX_BUILD_DIR" --output-on-failure --parallel "$(nproc)" --repeat until-pass:2 \
  --timeout 600 "$@" || status=$?
# The counters of Wine's own processes and of a program still ending are written when the
# server stops.
tarvox_stop
"$TARVOX_WINESERVER" -w >/dev/null 2>&1 || true
fi

report="$TARVOX_BUILD_DIR/coverage"
rm -rf "$report"
mkdir -p "$report"
# gcov writes its files into the build folder, where gcovr reads and removes them; a run that
# was stopped may have left some.
find "$TARVOX_BUILD_DIR" -maxdepth 1 -name '*.gcov' -delete
folders=(foundation text config paths xml cuix autocad variables ui stubs/cuixport)
filters=()
for folder in "${folders[@]}"; do filters+=(--filter "$folder/"); done
# CMake's compiler checks (CMakeFiles/<version>/) were compiled with --coverage too but never run.
# The Wine prefix is left out: its drive links lead back to the Linux root and the home folder.
# Branches the compiler adds for exceptions thrown by the library and the standard library
# are left out: they are not decisions of the code.
(cd "$TARVOX_ROOT" && gcovr --root "$TARVOX_ROOT" --object-directory "$TARVOX_BUILD_DIR" \
  --gcov-executable "$gcov_tool" "${filters[@]}" \
  --exclude-directories '.*/CMakeFiles/[0-9]' --exclude-directories '.*/wineprefix' \
  --exclude-throw-branches --exclude-unreachable-branches \
  --html-details "$report/index.html" --html-title "Tarvox coverage" \
  --json-summary-pretty --json-summary "$report/summary.json" \
  >/dev/null)

python3 - "$report/summary.json" "${folders[@]}" <<'EOF'
import json, sys
summary = json.load(open(sys.argv[1]))
folders = sys.argv[2:]
totals = {f: [0, 0, 0, 0] for f in folders}
for entry in summary["files"]:
    name = entry["filename"].replace("\\", "/")
    folder = next((f for f in folders if name.startswith(f + "/")), None)
    if folder is None:
        continue
    t = totals[folder]
    t[0] += entry["line_covered"]; t[1] += entry["line_total"]
    t[2] += entry["branch_covered"]; t[3] += entry["branch_total"]
def pct(covered, total):
    return f"{100.0 * covered / total:5.1f} %" if total else "    - "
rows = [(f + "/", totals[f]) for f in folders]
rows.append(("total", [sum(t[i] for t in totals.values()) for i in range(4)]))
print(f"{'folder':<16} {'lines':<22} branches")
for name, t in rows:
    print(f"{name:<16} {pct(t[0], t[1])} {t[0]:>6}/{t[1]:<6}   {pct(t[2], t[3])} {t[2]:>6}/{t[3]:<6}")
EOF
echo "HTML report: $report/index.html"
exit "$status"
