#!/usr/bin/env bash
# Runs a command inside a private desktop session: its own D-Bus session bus,
# an unlocked Secret Service keyring kept in a temporary folder, and an X
# server. Tests never touch the user's own keyring, settings or display.
#
#   scripts/with-test-session.sh COMMAND [ARGS...]
set -euo pipefail

if [ -z "${VELLOQ_IN_SESSION_BUS:-}" ]; then
  export VELLOQ_IN_SESSION_BUS=1
  exec dbus-run-session -- "$0" "$@"
fi

session=$(mktemp -d /tmp/velloq-session.XXXXXX)
children=()
cleanup() {
  for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$session"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR="$session/runtime" XDG_DATA_HOME="$session/data" XDG_CONFIG_HOME="$session/config"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"

# A login keyring with a throwaway password, created and unlocked in the private data folder.
printf 'velloq-test-session' | gnome-keyring-daemon --unlock --components=secrets >/dev/null
export VELLOQ_TEST_KEYRING=private VELLOQ_REQUIRE_SECRET_SERVICE=1
# X11 tests fail instead of skipping when they get no X server.
export VELLOQ_REQUIRE_DISPLAY=1

# Xvfb picks a free display number and writes it to the descriptor it is given.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$session/display" 2>"$session/xvfb.log" &
children+=($!)
for _ in $(seq 100); do [ -s "$session/display" ] && break; sleep 0.1; done
[ -s "$session/display" ] || { echo "Xvfb did not start:" >&2; cat "$session/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$session/display")"

"$@"
