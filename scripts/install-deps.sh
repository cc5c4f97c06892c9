#!/usr/bin/env bash
# Installs the Debian packages the cross build and its tests need, only those that are missing.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix   # the cross compiler (posix threads model for std::thread/std::mutex)
  binutils-mingw-w64-x86-64    # windres, dlltool
  wine64                       # runs the Windows programs and tests
  wine                         # its commands in /usr/bin (wine, wineboot, wineserver)
  googletest                   # sources, built by the cross compiler
  cmake
  ninja-build
  libz-mingw-w64-dev           # zlib for the CUIX package reader
  libcli11-dev                 # command-line parsing of the tarvo tool (header-only)
  nlohmann-json3-dev           # JSON output of the tarvo tool (header-only)
  jq                           # the tool tests check the tarvo tool's JSON with it
  xvfb                         # the virtual display the dialog tests draw on
  xauth
  clang-14                     # the native fuzz build of the text-processing core
  libclang-rt-14-dev           # libFuzzer and the sanitizer runtimes
  clang-format-14              # the house style (scripts/format.sh)
  zlib1g-dev                   # zlib for the native build of the ZIP reader
)
if [[ "${TARVOX_EXTRA_PACKAGES:-}" != "" ]]; then
  read -r -a extra <<<"$TARVOX_EXTRA_PACKAGES"
  packages+=("${extra[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
