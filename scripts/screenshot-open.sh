#!/usr/bin/env bash
# Saves a PNG of Velmora with a CHM file open and one of its pages previewed
# in place, for the README: starts build/velmora under a virtual X server,
# opens the file through the open dialog (Ctrl+O), finds the row with the
# search dialog (F3, the keyword, Enter), closes the dialog and takes the
# picture once the page has been painted.
#
#   scripts/screenshot-open.sh OUTPUT.png FILE.chm KEYWORD
#
# KEYWORD is typed into the search dialog (e.g. a page's name); the first
# row that matches is previewed. The CHM file is opened from a copy with a
# plain ASCII name, so the dialog needs no input method. SETTLE (seconds,
# default 6) is the wait for the web engine; VELMORA_BIN names another build
# of the program (default build/velmora). Needs xvfb-run, xdotool, xwininfo
# and ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -ne 3 ]; then
  echo "usage: $0 OUTPUT.png FILE.chm KEYWORD" >&2
  exit 2
fi

bin=$(realpath -m "${VELMORA_BIN:-build/velmora}")
if [ -z "${VELMORA_SCREENSHOT_DISPLAY:-}" ]; then
  [ -x "$bin" ] || { echo "$bin is missing; build it first" >&2; exit 1; }
  [ -f "$2" ] || { echo "$2 is not a file" >&2; exit 1; }
  out=$(realpath -m "$1")
  chm=$(realpath "$2")
  exec env VELMORA_SCREENSHOT_DISPLAY=1 VELMORA_BIN="$bin" xvfb-run -a -s "-screen 0 1280x960x24" "$0" "$out" "$chm" "$3"
fi

out=$1
keyword=$3
work=$(mktemp -d)
cp "$2" "$work/shown.chm"
# The preview copies and the web engine's data stay out of the real home.
export HOME=$work/home XDG_CACHE_HOME=$work/home/.cache XDG_CONFIG_HOME=$work/home/.config
export XDG_DATA_HOME=$work/home/.local/share
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:-} --disable-gpu"
"$bin" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

window=""
for _ in $(seq 1 150); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Velmora [0-9.]+"/ { print $1; exit }')
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "the Velmora window did not appear" >&2; exit 1; }
sleep 3

send() {  # xdotool key names, one at a time
  for key in "$@"; do
    xdotool key --clearmodifiers "$key"
    sleep 1
  done
}
xdotool windowfocus --sync "$window" 2>/dev/null || true
send ctrl+o
xdotool type --delay 30 "$work/shown.chm"
send Return
sleep 3
# Without a window manager the focus has to be handed over by hand: back to
# the main window after the file dialog, then to the search dialog.
xdotool windowfocus --sync "$window" 2>/dev/null || true
send F3
search=$(xdotool search --sync --name '^Velmora$' | head -n 1)
xdotool windowfocus --sync "$search" 2>/dev/null || true
xdotool type --delay 30 "$keyword"
send Return Escape
sleep "${SETTLE:-6}"

info=$(xwininfo -id "$window")
x=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
w=$(awk '/Width:/ { print $NF }' <<<"$info")
h=$(awk '/Height:/ { print $NF }' <<<"$info")
mkdir -p "$(dirname "$out")"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out"
echo "saved $out (${w}x${h})"
