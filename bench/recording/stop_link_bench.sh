#!/usr/bin/env bash
# Stop -> link on the clipboard through the tray application's own flow:
# Ctrl+Super+R, Start on the pre-record bar, a drag over the whole 1920x1080
# second monitor (a 1080p30 region of a constantly changing screen), a
# recording of DURATION seconds streamed to the reference server on loopback,
# then Stop on the recording bar. The time runs from the click on Stop until
# the link is on the clipboard. Goal: under 1 s (median). Never part of CI.
# Usage: bench/recording/stop_link_bench.sh BUILD_DIR [RUNS (default 5)] [DURATION s (default 120)]
#   (BUILD_DIR configured with -DVELLOQ_BUILD_BENCH=ON, targets velloq velloq-server moving_screen)
set -euo pipefail
build=${1:?usage: stop_link_bench.sh BUILD_DIR [RUNS] [DURATION]}
runs=${2:-5}
duration=${3:-120}
here=$(cd "$(dirname "$0")" && pwd)
# The key lives in a Secret Service: run inside a private session.
if [ -z "${VELLOQ_IN_SESSION_BUS:-}" ]; then
  exec "$here/../../scripts/with-test-session.sh" "$0" "$@"
fi
velloq="$build/src/app/velloq"
source "$here/../dummy_desktop.sh"
bench_workspace
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" TMPDIR="$work/tmp" VELLOQ_LOG_STDERR=1
mkdir -p "$HOME" "$TMPDIR" "$XDG_CONFIG_HOME/velloq"
# No microphone, no ripples, no count-in: the recording is the screen alone.
echo '{"recordCountdown": false, "recordMicOn": false, "recordHighlightClicks": false,
  "playSound": false}' > "$XDG_CONFIG_HOME/velloq/settings.json"

start_dummy_desktop # 2560x1440 primary, DUMMY1 1920x1080 to its right
openbox >/dev/null 2>&1 &
pids+=($!)
# The changing picture leaves the bottom strip, where the bars sit, to them:
# override-redirect windows are not stacked by the window manager.
"$build/bench/moving_screen" 2560 0 1920 880 30 > /dev/null &
pids+=($!)

head -c 24 /dev/urandom | base64 | tr '+/' '-_' > "$work/keys"
"$build/server/velloq-server" --data-dir "$work/data" --listen 127.0.0.1:0 \
  --key-file "$work/keys" --ready-file "$work/ready.json" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
export VELLOQ_SERVICE_URL=$(sed -n 's/.*"url":"\([^"]*\)".*/\1/p' "$work/ready.json")
export VELLOQ_CA_FILE=$(sed -n 's/.*"caFile":"\([^"]*\)".*/\1/p' "$work/ready.json")
"$velloq" set-key < "$work/keys"
"$velloq" 2> "$work/velloq.log" &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/velloq.sock" ] && break; sleep 0.1; done

# velloq's mapped windows as "x y width height", one a line.
velloq_windows() {
  for id in $(xdotool search --onlyvisible --classname '^velloq$' 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | awk '/Absolute upper-left X/ { x = $4 }
      /Absolute upper-left Y/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 }
      END { if (w) print x, y, w, h }'
  done
}
# Waits for a panel whose box satisfies an awk condition on x, y, w, h; prints it.
wait_panel() {
  for _ in $(seq 200); do
    local box
    box=$(velloq_windows | awk "{ x = \$1; y = \$2; w = \$3; h = \$4 } $1 { print; exit }")
    [ -n "$box" ] && { echo "$box"; return 0; }
    sleep 0.05
  done
  return 1
}
# Runs of the brand's coral (255, 77, 65) along one root row: "start end" a line.
coral_runs() { # x y width
  import -window root -crop "$3x1+$1+$2" txt:- 2>/dev/null | awk -v x0="$1" -F'[:(),]+' '
    NR > 1 {
      i = $1 + 0; r = $4 / 257; g = $5 / 257; b = $6 / 257
      hit = r > 235 && g > 57 && g < 97 && b > 45 && b < 85
      if (hit && !open) { start = i; open = 1 }
      if (!hit && open) { print x0 + start, x0 + i; open = 0 } }
    END { if (open) print x0 + start, x0 + i + 1 }'
}
# Clicks the middle of the widest (or, with "last", the rightmost) coral run of
# a bar, once the bar has painted it.
click_coral() { # "x y w h" last|widest
  read -r bx by bw bh <<< "$1"
  local row=$((by + bh / 2 - 13)) run=""
  for _ in $(seq 50); do
    if [ "$2" = last ]; then run=$(coral_runs "$bx" "$row" "$bw" | tail -1)
    else run=$(coral_runs "$bx" "$row" "$bw" | awk '{ print $2 - $1, $0 }' | sort -n | tail -1 |
      cut -d' ' -f2-); fi
    [ -n "$run" ] && break
    sleep 0.1
  done
  [ -n "$run" ] || { echo "no coral button in the bar at $1" >&2; return 1; }
  read -r left right <<< "$run"
  xdotool mousemove $(((left + right) / 2)) $((by + bh / 2)) click 1
}

times=()
previous=""
for run in $(seq "$runs"); do
  xdotool mousemove 3520 540
  bar=""
  for _ in $(seq 10); do
    xdotool key ctrl+super+r
    bar=$(wait_panel 'x > 2560 && y > 900 && w > 300' ) && break
  done
  [ -n "$bar" ] || { echo "no pre-record bar" >&2; cat "$work/velloq.log" >&2; exit 1; }
  sleep 0.3
  click_coral "$bar" last
  sleep 1
  xdotool mousemove 2560 0 sleep 0.1 mousedown 1 sleep 0.1 mousemove 3500 600 sleep 0.1 \
    mousemove 4600 1200 sleep 0.1 mouseup 1
  recording=$(wait_panel 'x > 2560 && y > 900 && w > 150 && w < 500') ||
    { echo "no recording bar" >&2; cat "$work/velloq.log" >&2; exit 1; }
  sleep "$duration"
  sleep 0.3
  start=$(date +%s%N)
  click_coral "$recording" widest
  link=""
  for _ in $(seq 3000); do
    link=$(xclip -o -selection clipboard 2>/dev/null || true)
    [[ "$link" == https://* && "$link" != "$previous" ]] && break
    sleep 0.005
  done
  end=$(date +%s%N)
  [[ "$link" == https://* && "$link" != "$previous" ]] ||
    { echo "no link" >&2; cat "$work/velloq.log" >&2; exit 1; }
  previous=$link
  ms=$(( (end - start) / 1000000 ))
  times+=("$ms")
  echo "  run $run: stop -> link on the clipboard $ms ms"
  sleep 7 # the card goes and takes its file with it
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
echo "${duration}-second 1080p30 recordings through the tray flow: stop -> link median $median ms over $runs runs"
grep 'Velloq recorder: started' "$work/velloq.log" | tail -1
