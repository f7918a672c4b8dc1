# Sourced by the X sessions of the end-to-end scripts: start the viewer in
# the current directory and find its window; quit it with Ctrl+C.
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/find_window.sh"

start_viewer() { # TESSEL [OPTION]... (the window at scale 1 unless an option says)
  local tessel=$1
  shift
  [ $# -gt 0 ] || set -- --scale 1
  SDL_AUDIODRIVER=dummy "$tessel" "$@" 2>stderr.txt &
  pid=$!
  find_window $pid || { echo "no window" >&2; kill $pid 2>/dev/null; exit 10; }
}
quit_viewer() { # waits up to 10 s; the viewer's exit code
  xdotool key ctrl+c
  for _ in $(seq 1 100); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 $pid 2>/dev/null; then echo "still running" >&2; kill $pid; exit 12; fi
  wait $pid
}
