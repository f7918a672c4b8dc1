# Sourced by X sessions: find_window PID sets `win` to the viewer's window.
# It asks again until the window shows (up to 45 s) rather than trusting one
# connection, and gives up early when the viewer has already ended.
find_window() { # PID
  win=
  for _ in $(seq 1 450); do
    win=$(xdotool search --name '^Tessel$' 2>/dev/null | head -n 1)
    [ -n "$win" ] && return 0
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
