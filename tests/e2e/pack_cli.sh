#!/usr/bin/env bash
# tessel-pack as a user runs it: help, bad input, and the demo packages,
# which must pass its own check.
set -u
pack=$1
fixtures=${2:-.}/../shared/fixtures
work=$(mktemp -d /tmp/tessel-pack-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$pack" --help >out.txt || fail "--help"
grep -q import out.txt || fail "--help lists no commands"
for c in import pack unpack check info earth sample; do
  "$pack" $c --help >out.txt || fail "$c --help"
  grep -q "usage: tessel-pack $c" out.txt || fail "$c --help: $(cat out.txt)"
done
"$pack" --version | grep -q "^tessel-pack [0-9]" || fail "--version"
"$pack" frobnicate 2>/dev/null; [ $? -eq 2 ] || fail "unknown command: exit code 2 expected"
"$pack" import 2>/dev/null; [ $? -eq 2 ] || fail "missing arguments: exit code 2 expected"
"$pack" import nowhere.mbtiles out 2>err.txt; [ $? -eq 1 ] || fail "missing source: exit code 1 expected"
grep -q "nowhere.mbtiles" err.txt || fail "the message names the file: $(cat err.txt)"
[ ! -e out ] && [ ! -e out.partial ] || fail "a failed import left files behind"
"$pack" check nowhere >/dev/null; [ $? -eq 1 ] || fail "check of nothing must fail"

"$pack" earth earth >/dev/null || fail "earth"
"$pack" sample sample >/dev/null || fail "sample"
"$pack" check earth >report.txt || fail "earth does not pass its check: $(cat report.txt)"
"$pack" check sample >report.txt || fail "sample does not pass its check: $(cat report.txt)"
"$pack" info earth >info.txt || fail "info"
grep -q "layers:  sat sat-night wat" info.txt || fail "info: $(cat info.txt)"
if [ -f "$fixtures/plain_1.mbtiles" ]; then
  "$pack" info "$fixtures/plain_1.mbtiles" >info.txt || fail "info of an MBTiles"
  grep -q "^level 4: 208 tiles" info.txt && grep -q "^total: 285 tiles" info.txt || fail "info: $(cat info.txt)"
  for a in plain_1.mbtiles stamen_toner_z3.pmtiles vector/montevideo.pmtiles; do
    "$pack" check "$fixtures/$a" >report.txt || fail "check of $a: $(cat report.txt)"
    grep -q "archive is sound" report.txt || fail "check of $a: $(cat report.txt)"
  done
  head -c 5000 "$fixtures/stamen_toner_z3.pmtiles" >cut.pmtiles
  "$pack" check cut.pmtiles >report.txt; [ $? -eq 1 ] || fail "check of a cut archive must fail"
  grep -q "cut short" report.txt || fail "check of a cut archive: $(cat report.txt)"
  "$pack" info "$fixtures/stamen_toner_z3.pmtiles" >info.txt || fail "info of a PMTiles"
  grep -q "^archive: PMTiles version 3" info.txt && grep -q "^level 3: 64 tiles" info.txt || fail "info: $(cat info.txt)"
fi
"$pack" info nowhere.pmtiles 2>err.txt; [ $? -eq 1 ] && grep -q nowhere.pmtiles err.txt || fail "info of nothing"
"$pack" earth earth 2>/dev/null; [ $? -eq 1 ] || fail "earth over an existing package must fail"

"$pack" unpack earth --out earth-loose >/dev/null || fail "unpack"
"$pack" check earth-loose >/dev/null || fail "the unpacked earth does not pass its check"
"$pack" pack sample --part-size 20000 >/dev/null || fail "pack"
"$pack" check sample >/dev/null || fail "the packed sample does not pass its check"
echo "tessel-pack: ok"
