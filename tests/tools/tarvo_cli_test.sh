#!/usr/bin/env bash
# The tarvo tool as a support engineer and a script use it: exit statuses, text and JSON.
set -uo pipefail
tarvo="$1"
failures=0
check() {  # check NAME EXPECTED-STATUS PATTERN -- ARGS...
  local name="$1" expected="$2" pattern="$3"; shift 4
  local output status
  output="$(wine "$tarvo" "$@" 2>&1)"; status=$?
  if [[ "$status" != "$expected" ]]; then
    echo "FAIL $name: status $status, expected $expected"; echo "$output" | head -5; failures=$((failures + 1)); return
  fi
  if ! grep -qE -- "$pattern" <<<"$output"; then
    echo "FAIL $name: output does not match /$pattern/"; echo "$output" | head -5; failures=$((failures + 1)); return
  fi
  echo "ok   $name"
}
check help 0 'Subcommands:' -- --help
check subcommand-help 0 'Usage: .*expand' -- expand --help
check no-subcommand 2 'subcommand is required' --
check unknown-subcommand 2 'tarvo:' -- bogus
check missing-text 2 'TEXT is required' -- expand
check expand-json 0 '"expanded": "xy"' -- expand --json 'x%%y'
check expand-text 0 'x%NO_SUCH_TARVOX_VAR%y +xy' -- expand 'x%NO_SUCH_TARVOX_VAR%y'
check vars 0 '%APPDATA%' -- vars
check folders-json 0 '"per_user": "' -- folders --json
# The test prefix has no AutoCAD: nothing found, but the report is still a report.
check acad-list-empty 1 '\(none\)' -- acad list
check acad-current-json 1 '"product_key": null' -- acad current --json
check acad-bad-year 2 'year' -- acad --year 20x0 current
check acad-needs-command 2 'subcommand is required' -- acad
check report 0 'Installed releases' -- report
check report-json 0 '"autocad_products": \[\]' -- report --json
check doctor-no-autocad 1 '^error: acad.none-installed' -- doctor
check doctor-veska-only 1 '^error: folders.not-installed' -- doctor --product veska
check doctor-bad-product 2 'product' -- doctor --product zenit
check acad-dirs-bad-year 2 'YEAR' -- acad dirs 1999
check acad-dirs-none 1 'AutoCAD folders of 2019' -- acad dirs 2019
check support-path-none 1 'Support path' -- support-path
check find-needs-file 2 'FILE is required' -- find
check find-missing 1 'nothing.lin' -- find nothing.lin
check vars-full 0 '%ORVBAU%' -- vars --full
check expand-full-keeps-unknown 0 '%NO_SUCH_TARVOX_VAR%' -- expand --full '%NO_SUCH_TARVOX_VAR%'
# No marker files beside the tool: the edition is not found.
check edition-unknown 1 '"code": 0' -- edition --json
# Configuration files: a user file in front of a central one.
work="$(mktemp -d)"; trap 'rm -rf "$work"' EXIT
printf '[Allgemein]\r\nSprache=de\r\nEinheit=mm\r\n[Pfade]\r\nVorlagen=C:\\V\r\n' >"$work/user.cfg"
printf '[Allgemein]\r\nSprache=en\r\nFarbe=rot\r\n' >"$work/central.cfg"
win="Z:${work//\//\\}"
check config-sections 0 'Pfade' -- config "$win\\user.cfg" sections
check config-list-central 0 'Farbe +rot' -- config "$win\\user.cfg" --central "$win\\central.cfg" list Allgemein
check config-own-value-wins 0 '"value": "de"' -- config "$win\\user.cfg" list Allgemein --central "$win\\central.cfg" --json
check config-get-missing 1 'not found' -- config "$win\\user.cfg" get Pfade Nope
check config-set 0 'saved +yes' -- config "$win\\user.cfg" set Pfade Plots 'D:\Plots'
check config-get-after-set 0 'D:\\Plots' -- config "$win\\user.cfg" get Pfade Plots
check config-missing-file 1 'no configuration file' -- config "$win\\missing.cfg" dump
check config-usage 2 'SOURCE is required' -- config

if ((failures)); then echo "$failures failed"; exit 1; fi
echo "all passed"
