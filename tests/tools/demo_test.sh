#!/usr/bin/env bash
# The demo workstation: "tarvo report" on it names every product and folder that
# demo/machine.reg describes, marks the user's current product and reads its configuration;
# every command's JSON keeps to one convention; "tarvo doctor" finds no error there and finds
# each fault of the broken workstation (demo/broken) once.
set -uo pipefail
root="$1"
build="$2"
export TARVOX_BUILD_DIR="$build"
demo() { "$root/scripts/run-demo.sh" "$@" 2>&1; }
failures=0
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
contains() {  # contains NAME TEXT FIXED-STRING
  if grep -qF -- "$3" <<<"$2"; then echo "ok   $1"; else fail "$1: no '$3' in:"; head -20 <<<"$2"; fi
}

report="$(demo report)" || fail "report: exit status $?"
# The report laid out the machine; the other commands ask the same machine.
export TARVOX_DEMO_KEEP=1
# Every product name and every folder of the description appears in the report.
while IFS= read -r name; do
  contains "product $name" "$report" "$name"
done < <(sed -n 's/^"ProductName"="\(.*\)"$/\1/p' "$root/demo/machine.reg")
while IFS= read -r folder; do
  folder="${folder//\\\\/\\}"
  contains "folder $folder" "$report" "${folder%\\}"
done < <(sed -n 's/^"\(Location\|InstallDir\)"="\(.*\)"$/\2/p' "$root/demo/machine.reg")

# The user last used Architecture 2020 with the office profile; it is listed first and marked.
if grep -qE '^  \* +AutoCAD Architecture 2020 - English +R23\.1' <<<"$report"; then
  echo "ok   current product marked"
else
  fail "current product marked"
fi
contains "profile key" "$report" 'ACAD-3004:409\Profiles\Tarvo Architektur'
contains "edition" "$report" "Tarvo Ardent"
contains "folder list" "$report" 'Tarvo Ardent 2020\Config\Ordner.ini'
contains "folder list entry expanded" "$report" 'Vorlagen  C:\Program Files\Tarvox\Tarvo Ardent 2020\Vorlagen'
contains "current AutoCAD variable" "$report" '%ACINSTALLFOLDER%'

# The commands behind the report, on the same machine.
contains "2019 selected" "$(demo acad --year 2019 current)" 'ACAD-2001:409\Profiles\<<Unnamed Profile>>'
releases="$(demo acad releases --json)"
contains "releases json" "$releases" '"current_release": "Architecture 2020"'
contains "LT 2020 flag" "$(demo acad releases)" '2020     yes'
contains "central configuration" \
  "$(demo config 'C:\Program Files\Tarvox\Tarvo Ardent 2020\Config\Tarvo.cfg' get Plot Papier)" 'ISO A1'

# Per-release folders, the support path and the full variable table.
dirs="$(demo acad dirs 2020)"
contains "LT 2020 roaming folder" "$dirs" 'AppData\Roaming\Autodesk\AutoCAD LT 2020\R26\enu'
contains "all-users application data" "$dirs" 'C:\ProgramData\Autodesk\ACA 2020\enu'
contains "support path in the report" "$report" 'C:\Program Files\Tarvox\Tarvo Ardent 2020\Support\'
contains "find in the AutoCAD folder first" "$(demo find acad.lin)" 'C:\Program Files\Autodesk\AutoCAD 2020\Support\acad.lin'
contains "Revit row" "$(demo expand --full '%REVIT2020%\Revit.exe')" 'C:\Program Files\Autodesk\Revit 2020\Revit.exe'
contains "full table" "$(demo vars --full --json)" '"name": "%ORVBAU%"'

# Profiles with real CUIX menus, read through the CuixPort module beside the tool.
contains "profile in the report" "$report" 'AutoCAD Architecture (US Metric)'
full="$(demo profiles --full)"
contains "menu loading the product menu" "$full" 'R23.1\enu\Support\acad.cuix  yes'
contains "workspaces of a menu" "$full" 'Architecture, Drafting & Annotation'
contains "add-on's own profile" "$full" 'Tarvo Ardent, Tarvo Ardent 3D'
cuix="$(demo cuix 'C:\Program Files\Tarvox\Tarvo Ardent 2020\_TarvoArdent.cuix')"
contains "product tabs" "$cuix" 'ID_TarvoStart, ID_TarvoPlan, ID_TarvoListen'

# The doctor: no error on the demo workstation.
doctor_ids() { tr -d '\r' | sed -n 's/^\(error\|warning\|note\): \([a-z.-]*\)$/\2/p'; }
good="$(demo doctor)"; status=$?
if ((status == 0)) && ! grep -q '^error:' <<<"$good"; then echo "ok   doctor: no error on the demo workstation"
else fail "doctor on the demo workstation: status $status"; echo "$good" | head -20; fi

# Every command's JSON follows one convention: snake_case keys, true/false, numbers as numbers,
# null for what was not found. Texts that only look like numbers or flags are allowed where the
# text is data: configuration values, texts to expand and release names such as "2000i".
json_convention='
  [.. | objects | keys[] | select(test("^[a-z][a-z0-9_]*$") | not) | "key \(.)"]
  + [paths(type == "string") as $p | {key: ($p | map(select(type == "string")) | last), text: getpath($p)}
     | select(.key as $k | ["value", "text", "expanded", "with_variables", "release"] | index($k) | not)
     | select(.text | test("^(|yes|no|true|false|\\*|-?[0-9]+)$")) | "\(.key): \(.text)"]
  | if length == 0 then true else (.[] | stderr) | false end'
cfg='C:\Program Files\Tarvox\Tarvo Ardent 2020\Config\Tarvo.cfg'
while IFS= read -r command; do
  eval "set -- $command"
  output="$("$root/scripts/run-demo.sh" "$@" --json 2>/dev/null)"
  if [[ -n "$output" ]] && jq -e "$json_convention" <<<"$output" >/dev/null 2>&1; then
    echo "ok   json convention: $command"
  else
    fail "json convention: $command"; jq -e "$json_convention" <<<"$output" 2>&1 | head -5
  fi
done <<EOF_COMMANDS
report
acad list
acad current
acad releases
acad dirs 2020
support-path --all
find acad.lin nothing.lin
folders
edition
vars --aliases
vars --full
expand '%TarvoArdent_2020%\Vorlagen' '%NO_SUCH%'
profiles --full
enabled
cuix 'C:\Program Files\Tarvox\Tarvo Ardent 2020\_TarvoArdent.cuix'
config '$cfg' sections
config '$cfg' list Plot
config '$cfg' get Plot Nope
config '$cfg' dump
doctor
config 'C:\users\Public\scratch.cfg' set Plot Papier A3
set-acad R23.1
EOF_COMMANDS

# On the broken workstation the doctor reports each planted fault once, in text and in JSON.
broken="$(TARVOX_DEMO_KEEP=0 demo --machine broken doctor)"; status=$?
((status == 1)) && echo "ok   doctor: status 1 on the broken workstation" || fail "doctor on the broken workstation: status $status"
for id in enable.profile-missing cuix.partial-menu-not-loaded cuix.workspace-missing-tabs support.entry-missing \
          paths.unknown-variable folders.config-not-writable config.undecodable; do
  count="$(doctor_ids <<<"$broken" | grep -cxF "$id")"
  ((count == 1)) && echo "ok   doctor finds $id" || { fail "doctor finds $id $count times"; echo "$broken"; }
done
contains "doctor's next step" "$broken" 'next   In AutoCAD, load the partial menu with CUILOAD'
json_ids="$("$root/scripts/run-demo.sh" doctor --json 2>/dev/null |
  jq -r '.[] | select(keys == ["found", "id", "next_step", "severity", "where"]) | .id')"
[[ -n "$json_ids" && "$json_ids" == "$(doctor_ids <<<"$broken")" ]] && echo "ok   doctor's JSON holds the same findings" \
  || fail "doctor's JSON: $json_ids"

if ((failures)); then echo "$failures failed"; exit 1; fi
echo "all passed"
