#!/usr/bin/env bash
# Start-up failures end the program with their message and exit code.
set -u
. "$(dirname "$0")/common.sh"
cd "$run_dir"

SDL_VIDEODRIVER=no-such-driver "$tessel" 2>err.txt
code=$?
[ $code -eq 1 ] || fail "bad video driver: exit code $code, expected 1"
grep -q "^Couldn't initialize SDL: " err.txt || fail "bad video driver: message was '$(cat err.txt)'"

env -u DISPLAY -u SDL_VIDEODRIVER "$tessel" >out.txt 2>err.txt </dev/null
code=$?
[ $code -eq 1 ] || fail "no display: exit code $code, expected 1"
grep -q "no display" err.txt || fail "no display: message was '$(cat err.txt)'"
[ ! -s out.txt ] || fail "no display: wrote to the terminal"

# A display that cannot be opened is named with SDL's own reason.
env -u SDL_VIDEODRIVER DISPLAY=:7391 "$tessel" >out.txt 2>err.txt </dev/null
code=$?
[ $code -eq 1 ] || fail "unreachable display: exit code $code, expected 1"
grep -q "Couldn't open X11 display :7391 (No available video device)" err.txt || fail "unreachable display: message was '$(cat err.txt)'"

rm media/font.ttf
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$tessel" 2>err.txt
code=$?
[ $code -eq 3 ] || fail "missing font: exit code $code, expected 3"
grep -q "$run_dir/media/font.ttf" err.txt || fail "missing font: message was '$(cat err.txt)'"
echo "exit codes: ok"
