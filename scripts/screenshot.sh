#!/usr/bin/env bash
# Starts build/velmora under a virtual X server (xvfb-run) and saves a PNG of
# its window, for the README and the manual.
#
#   scripts/screenshot.sh OUTPUT.png [velmora arguments...]
#
# KEYS="alt+b" (xdotool key names, blank-separated) are typed into the window
# before the picture is taken, e.g. to switch to batch mode or open a menu;
# an entry "click:X,Y" clicks the left button at X,Y of the window instead.
# This needs xdotool. Dialogs the keys open sit over the window and are in
# the picture. SETTLE (seconds, default 5) is the wait for the web
# engine to paint the preview pane. VELMORA_BIN names another build of the
# program (default build/velmora; build it first, e.g. with ./run.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ]; then
  echo "usage: $0 OUTPUT.png [velmora arguments...]" >&2
  exit 2
fi

bin=$(realpath -m "${VELMORA_BIN:-build/velmora}")
if [ -z "${VELMORA_SCREENSHOT_DISPLAY:-}" ]; then
  [ -x "$bin" ] || { echo "$bin is missing; build it first" >&2; exit 1; }
  out=$(realpath -m "$1")
  shift
  exec env VELMORA_SCREENSHOT_DISPLAY=1 VELMORA_BIN="$bin" xvfb-run -a -s "-screen 0 1280x960x24" "$0" "$out" "$@"
fi

out=$1
shift
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:-} --disable-gpu"
"$bin" "$@" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=""
for _ in $(seq 1 150); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Velmora [0-9.]+"/ { print $1; exit }')
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "the Velmora window did not appear" >&2; exit 1; }
sleep "${SETTLE:-5}"

if [ -n "${KEYS:-}" ]; then
  command -v xdotool >/dev/null || { echo "KEYS needs xdotool" >&2; exit 1; }
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  for key in $KEYS; do
    case $key in
      click:*)
        xy=${key#click:}
        xdotool mousemove --window "$window" "${xy%,*}" "${xy#*,}" click 1
        ;;
      *) xdotool key --clearmodifiers "$key" ;;
    esac
    sleep 1
  done
fi

info=$(xwininfo -id "$window")
x=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
w=$(awk '/Width:/ { print $NF }' <<<"$info")
h=$(awk '/Height:/ { print $NF }' <<<"$info")
mkdir -p "$(dirname "$out")"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out"
echo "saved $out (${w}x${h})"
