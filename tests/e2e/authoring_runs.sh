#!/usr/bin/env bash
# Runs the two authoring builds briefly on the display (Xvfb in the test run)
# as an author would, and checks what they leave behind.
# Usage: authoring_runs.sh OFFLINE_PROGRAM RECORDING_PROGRAM PLAYBACK_PROGRAM DATA_DIR
#   offline    renders at the normal budget (No to the start-up question) for
#              a few seconds, is interrupted, answers Yes to "Really?" and must
#              leave a video that ffprobe reads frame for frame
#   recording  takes F2 and Q from the keyboard, is ended by Escape, answers
#              Yes to the save question, and the playback build must replay
#              the saved list (its F2 reaches the main scene's white)
set -u
offline=$(realpath "$1")
recording=$(realpath "$2")
playback=$(realpath "$3")
data=$(realpath "$4")
[ -n "${DISPLAY:-}" ] || { echo "no display"; exit 1; }
for tool in xdotool ffprobe import convert; do
  command -v $tool >/dev/null || { echo "no $tool"; exit 1; }
done

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
# The generated data, linked file by file, without its event list.
cp -rs "$data" data
rm -f data/events.txt

fail() { echo "$1"; [ -f err ] && tail -20 err; exit 1; }

# start ANSWERS PROGRAM: the boxes are answered in turn as VORN_MESSAGEBOX says.
start() {
  SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 VORN_MESSAGEBOX=$1 "$2" -window=1 >out 2>err &
  pid=$!
}

# Waits up to $1 tenths of a second for the process to end; its status.
wait_end() {
  for _ in $(seq "$1"); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "the program did not end"
  wait $pid
  status=$?
  pid=""
}

find_window() {
  window=""
  for _ in $(seq 300); do
    window=$(xdotool search --name '^\$ \$ \$' 2>/dev/null | head -1)
    [ -n "$window" ] && return
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  fail "the window never opened"
}

press() {
  xdotool windowfocus "$window" 2>/dev/null
  xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"
}

# Whether the window shows the main scene's white.
shows_white() {
  import -window "$window" frame.png 2>/dev/null || return 1
  [ "$(convert frame.png -format '%[fx:mean>0.8]' info:)" = 1 ]
}

# --- offline rendering: interrupted after a few seconds of rendering
start no,yes "$offline"
find_window
sleep 8
kill -INT $pid
wait_end 600
[ $status -eq 0 ] || fail "offline render ended with status $status"
grep -q "Really?" err || fail "the interrupt did not ask"
answers=$(grep -o '^(answered [A-Za-z]*)' err | head -2 | tr '\n' ' ')
[ "$answers" = "(answered No) (answered Yes) " ] || fail "the boxes were answered $answers"
[ -s Vaduz.avi ] || fail "no video file"
probe=$(ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=width,height,r_frame_rate,nb_frames,nb_read_frames -of default=nw=1 Vaduz.avi) ||
  fail "ffprobe cannot read the video"
echo "$probe"
value() { echo "$probe" | sed -n "s/^$1=//p"; }
[ "$(value r_frame_rate)" = 30/1 ] || fail "the video is not 30 frames a second"
frames=$(value nb_read_frames)
[ "${frames:-0}" -gt 0 ] || fail "the video holds no frames"
[ "$frames" = "$(value nb_frames)" ] || fail "the index counts $(value nb_frames) frames, the stream holds $frames"
echo "offline: $frames frames, $(stat -c %s Vaduz.avi) bytes"

# --- event recording: live keys, saved on Yes
start yes "$recording"
find_window
sleep 1
press F2
sleep 2
press q
sleep 1
press Escape
wait_end 300
[ $status -eq 0 ] || fail "recording run ended with status $status"
[ -f data/events.txt ] || fail "no event list was saved"
cat data/events.txt
# F2 of the first scene is trigger 2; Q of the main scene is trigger 28.
grep -Eq '^eventid *= *2$' data/events.txt || fail "F2 was not recorded"
grep -Eq '^eventid *= *28$' data/events.txt || fail "Q was not recorded"

# --- the playback build replays the saved list
start yes "$playback"
find_window
white=0
for _ in $(seq 20); do
  sleep 0.5
  if shows_white; then white=1; break; fi
done
press Escape
wait_end 300
[ $white = 1 ] || fail "the replayed list did not reach the main scene"
echo ok
