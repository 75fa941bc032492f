#!/usr/bin/env bash
# Plays the real program on the display (Xvfb in the test run) with the
# show's data and stops it as a viewer would, or lets it end by itself.
# Usage: show_runs.sh PROGRAM DATA_DIR CASE
#   escape       Escape ends the show; the credits box follows; standard error
#                says that without an event list the show stays black
#   brokenEvents an event list that is no list: standard error names its line,
#                the show stays black and Escape ends it
#   showfps      -showfps=1: the closing box gives time and fps
#   close        a close request ends the show
#   replay       a short event list jumps to the main scene, figures appear
#                on white after their notes, and three replayed Escapes end it
#   missingMusic without the music the show ends through its failure path
#   noSound      without a sound output the same, naming the way out
#   notMp3       likewise with music that is no MP3, and frees what failed:
#                the leak check is on, and no sanitizer may report
#   noDisplay    without an X display the show ends through its failure path,
#                naming the video system
set -u
program=$1
data=$2
case_name=$3
skip=77
[ -n "${DISPLAY:-}" ] || { echo "no display"; exit $skip; }
command -v xdotool >/dev/null || { echo "no xdotool"; exit $skip; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# The generated data, linked file by file, without its event list.
cp -rs "$data" data
rm -f data/events.txt
[ "$case_name" = missingMusic ] && rm data/audio/vorn.mp3
if [ "$case_name" = notMp3 ]; then
  rm data/audio/vorn.mp3
  yes 'no music here' | head -c 1000 >data/audio/vorn.mp3
fi
if [ "$case_name" = replay ]; then
  # F2 of scene 0 (id 2) at 300 ms; Escape of scene 1 (id 14) three times.
  printf 'eventid = 2\ntime = 300\n' >data/events.txt
  for t in 20000 20100 20200; do printf 'eventid = 14\ntime = %d\n' $t; done >>data/events.txt
  printf 'eventid = -1\ntime = -1\n' >>data/events.txt
fi
[ "$case_name" = brokenEvents ] && printf 'eventid = 2\ntime = soon\n' >data/events.txt

# A display no server holds.
[ "$case_name" = noDisplay ] && DISPLAY=:4095
args=(-window=1)
[ "$case_name" = showfps ] && args+=(-showfps=1)
# No sound card here; the process-wide leak check is the unit tests' job,
# but for the failure that ends a scene.
audio=dummy
[ "$case_name" = noSound ] && audio=no-such-driver
leaks=0
[ "$case_name" = notMp3 ] && leaks=1
SDL_AUDIODRIVER=$audio ASAN_OPTIONS=detect_leaks=$leaks VORN_MESSAGEBOX=no \
  "$program" "${args[@]}" >"$work/out" 2>"$work/err" &
pid=$!

finish() {
  for _ in $(seq 200); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "the show did not end"; kill -9 $pid; cat "$work/err"; exit 1; fi
  wait $pid
  status=$?
  cat "$work/err"
}

if [ "$case_name" = missingMusic ] || [ "$case_name" = notMp3 ] || [ "$case_name" = noDisplay ] ||
   [ "$case_name" = noSound ]; then
  finish
  [ $status -eq 254 ] || { echo "exit status $status, not 254"; exit 1; }
  cause="Couldn't load 'data/audio/vorn.mp3'"
  [ "$case_name" = noDisplay ] && cause="Could not start the video system: x11 not available"
  [ "$case_name" = noSound ] && cause="Could not open the sound output"
  grep -qF "$cause" "$work/err" || { echo "the cause is not named"; exit 1; }
  if [ "$case_name" = noSound ]; then
    grep -qF "SDL_AUDIODRIVER=dummy" "$work/err" || { echo "the way out is not named"; exit 1; }
  fi
  grep -q "Fucked up" "$work/err" || { echo "no failure box"; exit 1; }
  ! grep -q "Sanitizer\|runtime error" "$work/err" || { echo "a sanitizer reported"; exit 1; }
  echo ok; exit 0
fi

window=""
for _ in $(seq 300); do
  window=$(xdotool search --name '^\$ \$ \$' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
[ -n "$window" ] || { echo "the window never opened"; cat "$work/err"; exit 1; }

case $case_name in
  replay)
    # White paper, and figures on it after their notes: the most figure
    # pixels seen in a few frames between 8 s and 16 s.
    most=0
    sleep 8
    for shot in $(seq 8); do
      import -window "$window" "$work/frame.png" 2>/dev/null || continue
      white=$(convert "$work/frame.png" -format '%[fx:mean>0.8]' info:)
      [ "$white" = 1 ] || { echo "frame $shot is not white"; kill $pid; exit 1; }
      pixels=$(convert "$work/frame.png" -fuzz 10% -fill black +opaque white -negate \
        -format '%[fx:int(mean*w*h+0.5)]' info:)
      [ "$pixels" -gt "$most" ] && most=$pixels
      sleep 1
    done
    echo "most figure pixels in a frame: $most"
    finish
    [ "$most" -gt 100 ] || { echo "no figures drawn"; exit 1; }
    ;;
  close)
    sleep 0.5
    # SDL turns a termination signal into a quit request, once.
    kill -TERM $pid
    finish
    ;;
  *)
    sleep 0.5
    for _ in $(seq 40); do
      kill -0 $pid 2>/dev/null || break
      xdotool windowfocus "$window" 2>/dev/null
      xdotool keydown Escape; sleep 0.2; xdotool keyup Escape
      sleep 0.3
    done
    finish
    ;;
esac
[ $status -eq 0 ] || { echo "exit status $status"; exit 1; }
grep -q "Wanna run in high budget mode?" "$work/err" || { echo "no start-up question"; exit 1; }
events_said() { grep -qF "$1" "$work/err" || { echo "standard error does not say: $1"; exit 1; }; }
stays_black="No events to replay: the show stays on its black first scene until Escape"
case $case_name in
  escape)
    events_said "data/events.txt: No such file or directory"
    events_said "$stays_black"
    ;;
  brokenEvents)
    events_said "data/events.txt:1: not an event record"
    events_said "$stays_black"
    ;;
esac
if [ "$case_name" = showfps ]; then
  grep -q "time: " "$work/err" && grep -q "fps: " "$work/err" || { echo "no statistics box"; exit 1; }
else
  grep -q "^by$" "$work/err" || { echo "no credits box"; exit 1; }
fi
echo "ok"
