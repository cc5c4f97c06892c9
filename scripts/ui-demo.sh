#!/usr/bin/env bash
# Runs the dialog-background demo at display scales given in percent (default: 100 150) on a
# virtual display and saves a screenshot of each to build/screenshots/dialog-<percent>.png.
#
# The demo runs in a Wine prefix of its own (build/demo-prefix), whose
# HKEY_CURRENT_USER\Control Panel\Desktop\LogPixels is set for each scale: Wine reads it when
# a process starts. The first run at 100 % records the dialog's control positions in
# CDemoDialog.ctrlPos beside the program; the other scales place the controls from it.
set -euo pipefail
TARVOX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$TARVOX_ROOT/scripts/build.sh" >/dev/null
source "$TARVOX_ROOT/scripts/wine-env.sh"
export WINEPREFIX="$TARVOX_BUILD_DIR/demo-prefix"
tarvox_wine_prefix
tarvox_virtual_display
tarvox_wine_server

scales=("$@")
((${#scales[@]})) || scales=(100 150)
out="$TARVOX_BUILD_DIR/screenshots"
mkdir -p "$out"
rm -f "$TARVOX_BUILD_DIR/bin/CDemoDialog.ctrlPos" "$out"/dialog-*.png
for percent in 100 "${scales[@]}"; do
  if [[ $percent == 100 && -f "$out/dialog-100.png" && -f "$TARVOX_BUILD_DIR/bin/CDemoDialog.ctrlPos" ]]; then continue; fi
  "$TARVOX_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d $((percent * 96 / 100)) /f >/dev/null 2>&1
  "$TARVOX_WINE" "$TARVOX_BUILD_DIR/bin/tarvox_ui_demo.exe" --screenshot "$out/dialog-$percent.png"
done
