#!/usr/bin/env bash
# Runs a command with DISPLAY set to a fresh Xvfb server, which it starts on
# a free display number and stops afterwards. Usage: with_xvfb.sh CMD [ARGS]
set -u
fifo=$(mktemp -u /tmp/tessel-xvfb-XXXXXX)
mkfifo "$fifo"
# -displayfd writes the chosen display number once the server accepts clients.
log=$(mktemp /tmp/tessel-xvfb-log-XXXXXX)
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$fifo" 2>"$log" &
server=$!
display=$(timeout 30 head -n 1 "$fifo")
rm -f "$fifo"
# Wait until the server answers clients, not only until it says it is up.
ready=no
for _ in $(seq 1 100); do
  [ -n "$display" ] && DISPLAY=":$display" xdotool getdisplaygeometry >/dev/null 2>&1 && { ready=yes; break; }
  sleep 0.1
done
if [ $ready != yes ]; then
  echo "with_xvfb: Xvfb did not start (display '${display}'):" >&2
  cat "$log" >&2
  kill $server 2>/dev/null
  rm -f "$log"
  exit 97
fi
rm -f "$log"
DISPLAY=":$display" "$@"
code=$?
kill $server 2>/dev/null
wait $server 2>/dev/null
exit $code
