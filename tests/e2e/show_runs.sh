#!/usr/bin/env bash
# Plays the real program on the display (Xvfb in the test run) and stops it
# as a viewer would. Usage: show_runs.sh PROGRAM CASE
# CASE: escape (Escape ends the show, credits box), showfps (closing box
# with time and fps), close (a close request ends the show).
set -u
program=$1
case_name=$2
skip=77
[ -n "${DISPLAY:-}" ] || { echo "no display"; exit $skip; }
command -v xdotool >/dev/null || { echo "no xdotool"; exit $skip; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
args=(-window=1)
[ "$case_name" = showfps ] && args+=(-showfps=1)
VORN_MESSAGEBOX=no "$program" "${args[@]}" >"$work/out" 2>"$work/err" &
pid=$!

window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^\$ \$ \$' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "the window never opened"; cat "$work/err"; kill $pid 2>/dev/null; exit 1
fi
sleep 0.5

# SDL turns a termination signal into a quit request, once: a second one
# during shutdown would kill the process outright.
[ "$case_name" = close ] && kill -TERM $pid
for _ in $(seq 40); do
  kill -0 $pid 2>/dev/null || break
  if [ "$case_name" != close ]; then
    xdotool windowfocus "$window" 2>/dev/null
    xdotool keydown Escape; sleep 0.2; xdotool keyup Escape
  fi
  sleep 0.3
done
if kill -0 $pid 2>/dev/null; then
  echo "the show did not end"; kill -9 $pid; exit 1
fi
wait $pid
status=$?
cat "$work/err"
[ $status -eq 0 ] || { echo "exit status $status"; exit 1; }
grep -q "Wanna run in high budget mode?" "$work/err" || { echo "no start-up question"; exit 1; }
if [ "$case_name" = showfps ]; then
  grep -q "time: " "$work/err" && grep -q "fps: " "$work/err" || { echo "no statistics box"; exit 1; }
else
  grep -q "^by$" "$work/err" || { echo "no credits box"; exit 1; }
fi
echo "ok"
