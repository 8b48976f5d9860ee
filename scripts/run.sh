#!/usr/bin/env bash
# Installs what Velloq needs, builds it, starts the reference sharing service
# on loopback and runs Velloq in the tray against it.
# Without a display (a server, a container) it starts a private X server with
# a window manager and a tray panel, so the run can be looked at:
#   DISPLAY=<the display it prints> import -window root shot.png
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${VELLOQ_RUN_PREPARED:-}" ]; then
  bash scripts/install-deps.sh
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  targets=(velloq)
  [ -f server/CMakeLists.txt ] && targets+=(velloq-server)
  cmake --build build -j"$(nproc)" --target "${targets[@]}"
  export VELLOQ_RUN_PREPARED=1
  # The API key lives in a Secret Service keyring, reached over the session bus.
  if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    export VELLOQ_PRIVATE_BUS=1
    exec dbus-run-session -- "$0" "$@"
  fi
fi

session=$(mktemp -d /tmp/velloq-run.XXXXXX)
chmod 700 "$session"
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

# A bare machine has no session of its own: give it a keyring that lives for this run only.
if [ -n "${VELLOQ_PRIVATE_BUS:-}" ]; then
  export XDG_DATA_HOME="$session/data"
  mkdir -p "$XDG_DATA_HOME"
  head -c 18 /dev/urandom | base64 | gnome-keyring-daemon --unlock --components=secrets >/dev/null
fi

# The local service accepts the key Velloq already has, or a new one made here.
# The key moves through files and pipes only, never through a command line.
key=$(secret-tool lookup service dev.ordwin.velloq account apiKey 2>/dev/null || true)
if [ -z "$key" ]; then
  key="local-$(head -c 24 /dev/urandom | base64 | tr -dc 'A-Za-z0-9')"
  printf '%s' "$key" | build/src/app/velloq set-key >/dev/null
fi
(umask 077 && printf '%s\n' "$key" >"$session/keys")
unset key

if [ ! -x build/server/velloq-server ]; then
  echo "No reference sharing service in this build; Velloq runs without one."
  VELLOQ_LOG_STDERR=1 build/src/app/velloq
  exit $?
fi

build/server/velloq-server --data-dir "${VELLOQ_SERVER_DATA:-$HOME/.local/share/velloq-server}" \
  --listen 127.0.0.1:0 --key-file "$session/keys" >"$session/server.out" 2>"$session/server.log" &
children+=($!)
for _ in $(seq 100); do grep -q '^velloq-server ready' "$session/server.out" 2>/dev/null && break; sleep 0.1; done
ready=$(grep '^velloq-server ready' "$session/server.out") || {
  echo "the sharing service did not start:" >&2; cat "$session/server.log" >&2; exit 1; }
VELLOQ_SERVICE_URL=$(sed -n 's/.* url=\([^ ]*\).*/\1/p' <<<"$ready")
VELLOQ_CA_FILE=$(sed -n 's/.* ca=\([^ ]*\).*/\1/p' <<<"$ready")
export VELLOQ_SERVICE_URL VELLOQ_CA_FILE
echo "Sharing service: $VELLOQ_SERVICE_URL (CA $VELLOQ_CA_FILE)"

VELLOQ_LOG_STDERR=1 build/src/app/velloq
