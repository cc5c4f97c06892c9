#!/usr/bin/env bash
# Lays the demo workstation into build/demo-prefix (never the test prefix) and runs a tarvo
# command there, "report" by default. Needs a finished build (scripts/demo.sh makes one).
# "--machine broken" first lays the broken workstation instead: the same machine with the
# faults of demo/broken laid in, for "tarvo doctor" to find.
#
# The workstation is described by demo/machine.reg (registry content, imported with regedit)
# and two folder trees: demo/drive_c goes to drive C: and demo/user to the Wine user's profile
# folder. The tool is installed into Tarvo Ardent's installation folder, beside the marker file
# that names the edition, as a product's installer would put it.
set -euo pipefail
TARVOX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$TARVOX_ROOT/scripts/wine-env.sh"
export WINEPREFIX="$TARVOX_BUILD_DIR/demo-prefix"
bin="$TARVOX_BUILD_DIR/bin"
for file in tarvo.exe tarvox.dll CfgKern.dll cuixport.dll make_cuix.exe; do
  [[ -f "$bin/$file" ]] || { echo "run-demo: $bin/$file is missing: run scripts/demo.sh" >&2; exit 2; }
done

machine=good
if [[ "${1:-}" == "--machine" ]]; then
  case "${2:-}" in
    good|broken) machine="$2"; shift 2 ;;
    *) echo "run-demo: --machine takes good or broken" >&2; exit 2 ;;
  esac
fi
install_dir="$WINEPREFIX/drive_c/Program Files/Tarvox/Tarvo Ardent 2020"
(($#)) || set -- report
# TARVOX_DEMO_KEEP=1 runs the command on the machine laid out by the run before (for scripts
# that ask several questions of the same machine).
if [[ "${TARVOX_DEMO_KEEP:-0}" == 1 && -f "$install_dir/tarvo.exe" ]]; then
  exec "$TARVOX_WINE" "$install_dir/tarvo.exe" "$@"
fi

# A fresh prefix each time, so that the machine is exactly what demo/ describes. A pristine
# copy is kept beside it: creating a prefix takes much longer than copying one.
pristine="$TARVOX_BUILD_DIR/demo-prefix-pristine"
if [[ ! -f "$pristine/system.reg" ]]; then
  rm -rf "$pristine"
  mkdir -p "$pristine"
  WINEPREFIX="$pristine" "$TARVOX_WINE" wineboot --init >/dev/null 2>&1 || true
  WINEPREFIX="$pristine" "$TARVOX_WINESERVER" -w
fi
"$TARVOX_WINESERVER" -k >/dev/null 2>&1 || true
"$TARVOX_WINESERVER" -w >/dev/null 2>&1 || true
[[ -d "$WINEPREFIX" ]] && chmod -R u+w "$WINEPREFIX"  # the broken machine has a read-only folder
rm -rf "$WINEPREFIX"
cp -a "$pristine" "$WINEPREFIX"
"$TARVOX_WINESERVER" -p
trap '"$TARVOX_WINESERVER" -k >/dev/null 2>&1 || true' EXIT

drive_c="$WINEPREFIX/drive_c"
wine_user="$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public -printf '%f\n' | head -1)"
[[ -n "$wine_user" ]] || { echo "run-demo: the Wine prefix has no user folder" >&2; exit 1; }
cp -a "$TARVOX_ROOT/demo/drive_c/." "$drive_c/"
cp -a "$TARVOX_ROOT/demo/user/." "$drive_c/users/$wine_user/"
if [[ "$machine" == broken ]]; then
  cp -a "$TARVOX_ROOT/demo/broken/user/." "$drive_c/users/$wine_user/"
fi
cp "$bin/tarvo.exe" "$bin/tarvox.dll" "$bin/CfgKern.dll" "$bin/cuixport.dll" "$bin/InstallRevitExtension.dll" "$install_dir/"

# The menu files: the product's partial menu and workspace menu beside the tool, and the
# profiles' main menus in the users' support folders, one of them loading the product's menu.
make_cuix() { "$TARVOX_WINE" "$bin/make_cuix.exe" "$("$TARVOX_WINE" winepath -w "$1" 2>/dev/null)" "${@:2}"; }
roaming="$drive_c/users/$wine_user/AppData/Roaming/Autodesk"
mkdir -p "$roaming/ACA 2020/enu/Support" "$roaming/AutoCAD 2020/R23.1/enu/Support"
make_cuix "$install_dir/_TarvoArdent.cuix" -w "Tarvo Ardent=ID_TarvoStart,ID_TarvoPlan,ID_TarvoListen"
make_cuix "$install_dir/_TarvoArdent_.cuix" -w "Tarvo Ardent" -w "Tarvo Ardent 3D"
# The broken machine's office profile has lost the product's partial menu.
office_menus=(-p acetmain.cuix -p _TarvoArdent.cuix)
[[ "$machine" == broken ]] && office_menus=(-p acetmain.cuix)
make_cuix "$roaming/ACA 2020/enu/Support/acad.cuix" "${office_menus[@]}" \
  -w "Zeichnen & Beschriftung=ID_TarvoStart,ID_TarvoPlan,ID_TarvoListen" -w "3D-Modellierung=ID_TarvoStart"
make_cuix "$roaming/ACA 2020/enu/Support/aca.cuix" -p acetmain.cuix -w "Architecture" -w "Drafting & Annotation"
make_cuix "$roaming/AutoCAD 2020/R23.1/enu/Support/acad.cuix" -p _TarvoArdent.cuix \
  -w "Drafting & Annotation=ID_TarvoStart,ID_TarvoPlan,ID_TarvoListen" -w "3D Modeling"

registry_files=("$TARVOX_ROOT/demo/machine.reg")
[[ "$machine" == broken ]] && registry_files+=("$TARVOX_ROOT/demo/broken/machine.reg")
for description in "${registry_files[@]}"; do
  registry="$WINEPREFIX/demo-$(basename "$(dirname "$description")").reg"
  sed "s/@WINEUSER@/$wine_user/g" "$description" >"$registry"
  "$TARVOX_WINE" regedit /S "$("$TARVOX_WINE" winepath -w "$registry" 2>/dev/null)" </dev/null >/dev/null 2>&1
done

# The broken machine's configuration folder of Tarvo Ardent is read-only: Wine shows a folder
# without write permission as read-only.
if [[ "$machine" == broken ]]; then
  chmod a-w "$drive_c/users/$wine_user/AppData/Roaming/Tarvox/Tarvo Ardent 2020/Config"
fi

"$TARVOX_WINE" "$install_dir/tarvo.exe" "$@"
