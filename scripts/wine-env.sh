# Sourced by the scripts: the Wine prefix of the build folder and a quiet Wine.
TARVOX_BUILD_DIR="${TARVOX_BUILD_DIR:-$TARVOX_ROOT/build}"
export WINEPREFIX="$TARVOX_BUILD_DIR/wineprefix"
export WINEDEBUG=-all
# No Mono and no Gecko: the library needs neither, and Wine would ask for them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
TARVOX_WINE="$(command -v wine || echo /usr/lib/wine/wine64)"
TARVOX_WINESERVER="$(command -v wineserver || echo /usr/lib/wine/wineserver64)"

# Creates the prefix on first use.
tarvox_wine_prefix() {
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "Creating the Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$TARVOX_WINE" wineboot --init >/dev/null 2>&1 || true
    "$TARVOX_WINESERVER" -w
  fi
}

# Starts a virtual X display (Xvfb) for the Wine processes that draw windows, on the first free
# display number from 99 up, and exports DISPLAY. TARVOX_XVFB_PID names it for tarvox_stop.
TARVOX_XVFB_PID=""
tarvox_virtual_display() {
  local number=99
  while [[ -e /tmp/.X${number}-lock || -e /tmp/.X11-unix/X${number} ]]; do number=$((number + 1)); done
  Xvfb ":${number}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  TARVOX_XVFB_PID=$!
  for _ in $(seq 100); do
    [[ -e /tmp/.X11-unix/X${number} ]] && break
    sleep 0.1
  done
  export DISPLAY=":${number}"
}

# Stops what tarvox_virtual_display and tarvox_wine_server started.
tarvox_stop() {
  "$TARVOX_WINESERVER" -k >/dev/null 2>&1 || true
  if [[ -n "$TARVOX_XVFB_PID" ]]; then kill "$TARVOX_XVFB_PID" 2>/dev/null || true; fi
}

# Keeps one wineserver running until the calling script ends: each Wine process then starts
# in a fraction of the time.
tarvox_wine_server() {
  # A server left from an earlier run may still be shutting down: stop it and wait, so that the
  # tests never meet a server that goes away under them.
  "$TARVOX_WINESERVER" -k >/dev/null 2>&1 || true
  "$TARVOX_WINESERVER" -w >/dev/null 2>&1 || true
  "$TARVOX_WINESERVER" -p
  # The first Wine process of a server starts Wine's own services (services.exe, explorer.exe),
  # which live as long as the server and keep the standard handles they were started with.
  # Start them here with no handles of ours, so that CTest's pipes are not held open by them.
  "$TARVOX_WINE" wineboot </dev/null >/dev/null 2>&1 || true
  trap tarvox_stop EXIT
}
