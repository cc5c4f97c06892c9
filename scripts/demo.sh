#!/usr/bin/env bash
# The main job: builds everything, lays the demo workstation of demo/ into a Wine prefix of its
# own and runs "tarvo report" there. Other arguments run that tarvo command instead, for
# example: scripts/demo.sh acad list --json. "--machine broken" first lays the broken
# workstation, whose faults "tarvo doctor" finds: scripts/demo.sh --machine broken doctor
set -euo pipefail
TARVOX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$TARVOX_ROOT/scripts/build.sh" >/dev/null
exec "$TARVOX_ROOT/scripts/run-demo.sh" "$@"
