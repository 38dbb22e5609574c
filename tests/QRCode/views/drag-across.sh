#!/bin/sh
# Runs under xvfb-run: starts a drag source and a drop target (two separate
# programs) and drives a real drag from one to the other with xdotool.
#   drag-across.sh HELPER TEXT OUTDIR
helper="$1"; text="$2"; out="$3"
export QT_QPA_PLATFORM=xcb

"$helper" source "$text" "$out" 40 >"$out/source.log" 2>&1 &
source_pid=$!
"$helper" receive "$out" 40 >"$out/receiver.log" 2>&1 &
receiver_pid=$!

i=0
while [ ! -e "$out/source.ready" ] || [ ! -e "$out/receiver.ready" ]; do
  i=$((i + 1))
  if [ "$i" -gt 200 ]; then
    echo "the windows did not appear" >&2
    kill "$source_pid" "$receiver_pid" 2>/dev/null
    exit 1
  fi
  sleep 0.1
done

# Press on the code, move across to the target in steps (the target only
# takes part once the pointer has entered it), release there.
xdotool mousemove 100 100 sleep 0.3 mousedown 1 sleep 0.5 \
  mousemove 150 110 sleep 0.2 mousemove 300 110 sleep 0.2 \
  mousemove 500 120 sleep 0.3 mousemove 550 150 sleep 0.5 mouseup 1

# The target quits once it has written what it received, and the source
# when it sees that (both at their own time limit at the latest).
wait "$receiver_pid"
wait "$source_pid"
[ -e "$out/done" ]
