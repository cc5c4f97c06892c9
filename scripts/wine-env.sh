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

# A small drive for the full-disk tests: a tmpfs of 1 MiB mounted below the build folder and
# given to Wine as a drive letter (a link in the prefix's dosdevices). TARVOX_FULL_DRIVE names
# its root for the tests ("T:\"); where it cannot be had (not root, or the mount is refused),
# TARVOX_FULL_DRIVE_UNAVAILABLE says why and the tests that need it skip with that reason.
# tarvox_stop takes it down again.
TARVOX_FULL_DRIVE_MOUNT=""
TARVOX_FULL_DRIVE_LINK=""
tarvox_full_drive() {
  unset TARVOX_FULL_DRIVE TARVOX_FULL_DRIVE_UNAVAILABLE
  if [[ "$(id -u)" -ne 0 ]]; then
    export TARVOX_FULL_DRIVE_UNAVAILABLE="mounting the small drive needs root (the tests run as $(id -un))"
    return 0
  fi
  local mount="$TARVOX_BUILD_DIR/full-drive" letter="" candidate link error
  for candidate in t u v w x y; do
    link="$WINEPREFIX/dosdevices/$candidate:"
    # A link of an earlier run that was ended before it could clean up is taken over.
    if [[ ! -e "$link" && ! -L "$link" ]] || [[ "$(readlink "$link")" == "$mount" ]]; then
      letter="$candidate"
      break
    fi
  done
  if [[ -z "$letter" ]]; then
    export TARVOX_FULL_DRIVE_UNAVAILABLE="no free drive letter from T: to Y: in $WINEPREFIX"
    return 0
  fi
  mkdir -p "$mount"
  if mountpoint -q "$mount"; then umount "$mount" 2>/dev/null || umount -l "$mount" 2>/dev/null || true; fi
  if ! error="$(mount -t tmpfs -o size=1m,mode=0777 tarvox-full-drive "$mount" 2>&1)"; then
    export TARVOX_FULL_DRIVE_UNAVAILABLE="mounting a tmpfs on $mount failed: ${error:-no reason given}"
    return 0
  fi
  TARVOX_FULL_DRIVE_MOUNT="$mount"
  TARVOX_FULL_DRIVE_LINK="$WINEPREFIX/dosdevices/$letter:"
  ln -sfn "$mount" "$TARVOX_FULL_DRIVE_LINK"
  export TARVOX_FULL_DRIVE="${letter^^}:\\"
}

# Unmounts the small drive and removes its drive letter.
tarvox_release_full_drive() {
  if [[ -n "$TARVOX_FULL_DRIVE_LINK" ]]; then rm -f "$TARVOX_FULL_DRIVE_LINK"; fi
  if [[ -n "$TARVOX_FULL_DRIVE_MOUNT" ]]; then
    umount "$TARVOX_FULL_DRIVE_MOUNT" 2>/dev/null || umount -l "$TARVOX_FULL_DRIVE_MOUNT" 2>/dev/null || true
    rmdir "$TARVOX_FULL_DRIVE_MOUNT" 2>/dev/null || true
  fi
  TARVOX_FULL_DRIVE_LINK=""
  TARVOX_FULL_DRIVE_MOUNT=""
}

# Stops what tarvox_virtual_display, tarvox_wine_server and tarvox_full_drive started.
tarvox_stop() {
  "$TARVOX_WINESERVER" -k >/dev/null 2>&1 || true
  if [[ -n "$TARVOX_XVFB_PID" ]]; then kill "$TARVOX_XVFB_PID" 2>/dev/null || true; fi
  tarvox_release_full_drive
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
