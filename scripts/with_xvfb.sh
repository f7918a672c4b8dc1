#!/usr/bin/env bash
# Runs a command with DISPLAY set to a fresh Xvfb server, which it starts on
# a free display number and stops afterwards. Usage: with_xvfb.sh CMD [ARGS]
set -u
fifo=$(mktemp -u /tmp/tessel-xvfb-XXXXXX)
mkfifo "$fifo"
# -displayfd writes the chosen display number once the server accepts clients.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
server=$!
display=$(timeout 30 head -n 1 "$fifo")
rm -f "$fifo"
if [ -z "$display" ]; then
  echo "with_xvfb: Xvfb did not start" >&2
  kill $server 2>/dev/null
  exit 97
fi
DISPLAY=":$display" "$@"
code=$?
kill $server 2>/dev/null
wait $server 2>/dev/null
exit $code
