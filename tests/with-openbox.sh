#!/bin/sh
# Runs the given command on the X server in $DISPLAY under the openbox window
# manager, as on a desktop, and passes on its exit status.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# The window manager is ready once it has claimed the screen.
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$wm" 2>/dev/null; then
        echo "with-openbox.sh: openbox did not start" >&2
        kill "$wm" 2>/dev/null
        exit 1
    fi
    sleep 0.1
done
"$@"
status=$?
kill "$wm"
wait "$wm" 2>/dev/null
exit "$status"
