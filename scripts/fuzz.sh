#!/usr/bin/env bash
# The native fuzz targets of the text-processing core (host clang 14 with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer), built in build-fuzz/.
#   scripts/fuzz.sh --replay        every target over its seed corpus once (the test command)
#   scripts/fuzz.sh [SECONDS]       every target for SECONDS each (default 300)
#   scripts/fuzz.sh --runs N        every target for N executions each
#   scripts/fuzz.sh --merge         adds to fuzz/corpus/<target> the inputs of build-fuzz/corpus/<target>
#                                   that cover what it does not yet (libFuzzer's -merge=1)
#   scripts/fuzz.sh ... TARGET...   only the named targets (cfg_text, zip, ...)
# New inputs go to build-fuzz/corpus/<target>, crashes to build-fuzz/artifacts/; the seed
# corpus in fuzz/corpus/ is only read. An input that crashed is added there as a regression.
# A target is a file: fuzz/targets/<target>_fuzz.cpp natively, fuzz/windows/<target>_fuzz.cpp
# for those that need the system's code pages and order. The Windows targets are built by the
# cross compiler with the project's own engine in build-winfuzz/ and run under Wine; their
# corpus replay is a test of the test command (FuzzReplay.<target>), so --replay leaves them out.
set -euo pipefail
TARVOX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$TARVOX_ROOT/scripts/install-deps.sh"
build="${TARVOX_FUZZ_BUILD_DIR:-$TARVOX_ROOT/build-fuzz}"

mode=time
limit=300
if [[ $# -gt 0 && $1 == --replay ]]; then mode=replay; shift
elif [[ $# -gt 0 && $1 == --merge ]]; then mode=merge; shift
elif [[ $# -gt 0 && $1 == --runs ]]; then mode=runs; limit=$2; shift 2
elif [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then limit=$1; shift
fi
# The target names in a folder of <target>_fuzz.cpp files, each between blanks.
targets_in() {
  local source names=" "
  for source in "$1"/*_fuzz.cpp; do names+="$(basename "$source" _fuzz.cpp) "; done
  echo "$names"
}
native_targets=$(targets_in "$TARVOX_ROOT/fuzz/targets")
windows_targets=$(targets_in "$TARVOX_ROOT/fuzz/windows")
targets=("$@")
if ((${#targets[@]} == 0)); then
  read -ra targets <<<"$native_targets $windows_targets"
fi
native=0 windows=0
for target in "${targets[@]}"; do
  if [[ $windows_targets == *" $target "* ]]; then windows=1
  elif [[ $native_targets == *" $target "* ]]; then native=1
  else echo "no fuzz target '$target'; there are:$native_targets$windows_targets" >&2; exit 2
  fi
done

if ((native)); then
  cmake -S "$TARVOX_ROOT/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --parallel "$(nproc)" >/dev/null
fi
winbuild="${TARVOX_WINFUZZ_BUILD_DIR:-$TARVOX_ROOT/build-winfuzz}"
if ((windows)) && [[ $mode != replay ]]; then
  cmake -S "$TARVOX_ROOT" -B "$winbuild" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TARVOX_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTARVOX_FUZZ_COVERAGE=ON >/dev/null
  windows_executables=()
  for target in $windows_targets; do windows_executables+=("${target}_fuzz"); done
  cmake --build "$winbuild" --parallel "$(nproc)" --target "${windows_executables[@]}" >/dev/null
  TARVOX_BUILD_DIR="$winbuild" source "$TARVOX_ROOT/scripts/wine-env.sh"
  tarvox_wine_prefix
  tarvox_wine_server
fi
# How a target is run: natively, or under Wine with its paths on the Z: drive.
run_target() {
  local target=$1; shift
  if [[ $windows_targets != *" $target "* ]]; then "$build/${target}_fuzz" "$@"; return; fi
  local arguments=() argument
  for argument in "$@"; do
    case $argument in
      /*) arguments+=("Z:$argument") ;;
      -artifact_prefix=/*) arguments+=("-artifact_prefix=Z:${argument#-artifact_prefix=}") ;;
      *) arguments+=("$argument") ;;
    esac
  done
  "$TARVOX_WINE" "$winbuild/bin/${target}_fuzz.exe" "${arguments[@]}"
}

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
for target in "${targets[@]}"; do
  seeds="$TARVOX_ROOT/fuzz/corpus/$target"
  if [[ $mode == replay && $windows_targets == *" $target "* ]]; then continue; fi
  if [[ $mode == replay ]]; then
    # Each file of the corpus once; any crash or property violation fails the run.
    if ! "$build/${target}_fuzz" -rss_limit_mb=2048 "$seeds"/* >"$build/$target-replay.log" 2>&1; then
      echo "fuzz replay of $target failed:"; tail -30 "$build/$target-replay.log" || true; status=1
    else
      echo "fuzz replay of $target: $(ls "$seeds" | wc -l) inputs passed"
    fi
    continue
  fi
  if [[ $mode == merge ]]; then
    mkdir -p "$seeds" "$build/corpus/$target"
    before=$(ls "$seeds" | wc -l)
    run_target "$target" -merge=1 -rss_limit_mb=2048 "$seeds" "$build/corpus/$target" >"$build/$target-merge.log" 2>&1 || status=1
    echo "merge of $target: $before inputs, now $(ls "$seeds" | wc -l)"
    continue
  fi
  mkdir -p "$build/corpus/$target" "$build/artifacts"
  budget=(-max_total_time="$limit")
  [[ $mode == runs ]] && budget=(-runs="$limit")
  echo "== $target"
  if ! run_target "$target" "${budget[@]}" -rss_limit_mb=2048 -max_len="${TARVOX_FUZZ_MAX_LEN:-2048}" -print_final_stats=1 \
       -artifact_prefix="$build/artifacts/$target-" "$build/corpus/$target" "$seeds" \
       >"$build/$target-fuzz.log" 2>&1; then
    echo "$target found a crash:"; grep -E "ERROR|violated|SUMMARY" "$build/$target-fuzz.log" | head -5 || true; status=1
  fi
  grep -E "stat::number_of_executed_units|cov: " "$build/$target-fuzz.log" | tail -2 || true
done
exit "$status"
