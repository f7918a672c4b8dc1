#!/usr/bin/env bash
# The command line before SDL starts, and an installed copy: its files, and
# the user directory its first start lays out and later starts keep.
# Usage: desktop_cli.sh TESSEL SOURCE_DIR FONT BUILD_DIR
set -u
. "$(dirname "$0")/common.sh"
build_dir=$4
cd "$run_dir"

out=$("$tessel" --help) || fail "--help: exit code $?"
[[ $out == Usage:* ]] || fail "--help printed '$out'"
out=$("$tessel" --version) || fail "--version: exit code $?"
[ "$out" = "Tessel 0.0.6.10" ] || fail "--version printed '$out'"
for bad in "--bogus" "--scale 9" "--scale" "--dir /no/such/dir"; do
  # shellcheck disable=SC2086
  DISPLAY= SDL_VIDEODRIVER=dummy "$tessel" $bad >out.txt 2>err.txt
  code=$?
  [ $code -eq 64 ] || fail "'$bad': exit code $code, expected 64"
  [ "$(wc -l <err.txt)" -eq 1 ] || fail "'$bad': stderr was '$(cat err.txt)'"
  [ ! -s out.txt ] || fail "'$bad' printed to standard output"
done

prefix=$run_dir/prefix
cmake --install "$build_dir" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for f in bin/tessel bin/tessel-pack share/tessel/tessel.conf share/tessel/media/font.ttf \
         share/tessel/media/toolbar_bg.png share/tessel/lang/english.conf share/applications/tessel.desktop \
         share/icons/hicolor/16x16/apps/tessel.png; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done

# The installed viewer started from a directory without tessel.conf.
mkdir elsewhere && cd elsewhere
start_installed() {
  XDG_DATA_HOME="$run_dir/xdg" SDL_VIDEODRIVER=dummy "$prefix/bin/tessel" 2>"$run_dir/stderr.txt" &
  pid=$!
  for _ in $(seq 1 100); do
    [ -f "$run_dir/xdg/tessel/tessel.conf" ] && break
    sleep 0.1
  done
  sleep 0.5
  kill -TERM $pid
  wait $pid || fail "installed viewer: exit code $?; $(cat "$run_dir/stderr.txt")"
}
start_installed
user=$run_dir/xdg/tessel
for f in tessel.conf maps tracks media/font.ttf lang/english.conf; do
  [ -e "$user/$f" ] || fail "first start did not lay out $f"
done
cmp -s "$user/tessel.conf" "$prefix/share/tessel/tessel.conf" || fail "tessel.conf is not the installed default"
echo "# mine" >>"$user/tessel.conf"
echo "x" >"$user/maps/note.txt"
start_installed
grep -q "# mine" "$user/tessel.conf" || fail "a second start replaced the user's tessel.conf"
[ -f "$user/maps/note.txt" ] || fail "a second start lost the user's files"
# Installed again elsewhere, the first prefix gone: the user directory follows.
mv "$prefix" "$run_dir/prefix2"
prefix=$run_dir/prefix2
start_installed
[ -f "$user/media/font.ttf" ] || fail "after the prefix moved, media/ does not lead to the installed media"
grep -q "# mine" "$user/tessel.conf" || fail "the move lost the user's tessel.conf"
echo "desktop cli: ok"
