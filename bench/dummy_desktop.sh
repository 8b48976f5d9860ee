# Sourced by the benchmark scripts: starts a private Xorg (dummy driver, the
# tests' own configuration) with a 2560x1440 primary and a 1920x1080 monitor to
# its right, exports DISPLAY and appends the server's pid to the caller's `pids`
# array. Needs `work` set (bench_workspace below makes it).
xorg_config="$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests/support" && pwd)/xorg-dummy.conf"
start_dummy_desktop() {
  Xorg -noreset -nolisten tcp -config "$xorg_config" -logfile "$work/xorg.log" -displayfd 3 \
    3>"$work/display" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
  dummy_output DUMMY0 2560 1440 --pos 0x0 --primary
  dummy_output DUMMY1 1920 1080 --right-of DUMMY0
}

dummy_output() { # name width height placement...
  local name=$1 w=$2 h=$3; shift 3
  local mode="${w}x${h}_bench"
  xrandr --newmode "$mode" "$(awk "BEGIN{print ($w+24)*($h+3)*60/1e6}")" \
    "$w" $((w + 8)) $((w + 16)) $((w + 24)) "$h" $((h + 1)) $((h + 2)) $((h + 3)) 2>/dev/null || true
  xrandr --addmode "$name" "$mode"
  xrandr --output "$name" --mode "$mode" "$@"
}

# A private `work` folder and the `pids` to stop, both cleaned up when the
# script exits; call before anything is started.
bench_workspace() {
  work=$(mktemp -d)
  pids=()
  trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
        wait 2>/dev/null || true; rm -rf "$work"' EXIT
}

# openbox on a white root (any overlay that dims it changes a probe pixel),
# and a private home, configuration and runtime folder for the app.
start_white_desktop() {
  HOME="$work" openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
  xsetroot -solid white
  export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
}
