#!/usr/bin/env bash
# Installs what Velloq needs, builds it and runs it in the tray.
# Without a display (a server, a container) it starts a private X server with
# a window manager and a tray panel, so the run can be looked at:
#   DISPLAY=<the display it prints> import -window root shot.png
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target velloq

session=$(mktemp -d /tmp/velloq-run.XXXXXX)
children=()
cleanup() {
  for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$session"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 3 -screen 0 1600x900x24 -nolisten tcp 3>"$session/display" 2>"$session/xvfb.log" &
  children+=($!)
  for _ in $(seq 100); do [ -s "$session/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$session/display")"
  openbox >/dev/null 2>&1 &
  children+=($!)
  tint2 >/dev/null 2>&1 &
  children+=($!)
  echo "Velloq runs on the private display $DISPLAY; take a screenshot with:"
  echo "  DISPLAY=$DISPLAY import -window root shot.png"
fi

# Without a session bus (and so without a keyring) the API key cannot be kept.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  exec dbus-run-session -- env VELLOQ_LOG_STDERR=1 build/src/app/velloq
fi
VELLOQ_LOG_STDERR=1 build/src/app/velloq
