#!/usr/bin/env bash
# Runs a command with DISPLAY set to a fresh Xvfb server, which it starts on
# a free display number and stops afterwards (its screen 640x480x24 unless
# TESSEL_XVFB_SCREEN says otherwise). Usage: with_xvfb.sh CMD [ARGS]
set -u
fifo=$(mktemp -u /tmp/tessel-xvfb-XXXXXX)
mkfifo "$fifo"
# -displayfd writes the chosen display number once the server accepts clients;
# -noreset keeps it from resetting (and refusing clients) when the last one leaves.
log=$(mktemp /tmp/tessel-xvfb-log-XXXXXX)
Xvfb -displayfd 3 -screen 0 "${TESSEL_XVFB_SCREEN:-640x480x24}" -nolisten tcp -noreset 3>"$fifo" 2>"$log" &
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
DISPLAY=":$display" "$@"
code=$?
if [ $code -ne 0 ]; then
  # Say what the server went through, for whoever reads a failed run.
  kill -0 $server 2>/dev/null || echo "with_xvfb: the X server on :$display had ended" >&2
  sed 's/^/with_xvfb: Xvfb: /' "$log" >&2
fi
rm -f "$log"
kill $server 2>/dev/null
wait $server 2>/dev/null
exit $code
