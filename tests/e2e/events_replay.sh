#!/usr/bin/env bash
# Plays the real program on the display (Xvfb in the test run) with an event
# list in its working directory: three Escapes of scene 0 at once end the
# show by itself. Usage: events_replay.sh PROGRAM
set -u
program=$1
skip=77
[ -n "${DISPLAY:-}" ] || { echo "no display"; exit $skip; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir data
for _ in 1 2 3; do printf 'eventid = 0\ntime = 300\n'; done >data/events.txt
printf 'eventid = -1\ntime = -1\n' >>data/events.txt

VORN_MESSAGEBOX=no timeout 60 "$program" -window=1 >"$work/out" 2>"$work/err"
status=$?
cat "$work/err"
[ $status -eq 0 ] || { echo "exit status $status"; exit 1; }
grep -q "^by$" "$work/err" || { echo "no credits box"; exit 1; }
echo "ok"
