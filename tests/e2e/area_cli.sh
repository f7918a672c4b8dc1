#!/usr/bin/env bash
# tessel-pack extract and download as a user runs them: bad arguments, a
# local and a remote extract, a download run twice, against the loopback
# test server (python3) and the shared fixtures (skipped when absent).
set -u
pack=$1
source_dir=$2
fixtures=$source_dir/../shared/fixtures
work=$(mktemp -d /tmp/tessel-area-XXXXXX)
server=
trap '[ -n "$server" ] && kill "$server"; rm -rf "$work"' EXIT
cd "$work"
. "$source_dir/tests/e2e/expect.sh"

for c in extract download; do
  "$pack" $c --help | grep -q "usage: tessel-pack $c" || fail "$c --help"
done
expect 2 "bbox W,S,E,N is required" "$pack" extract a.pmtiles b.pmtiles
expect 2 "south below the north" "$pack" extract a.pmtiles b.pmtiles --bbox 0,10,5,5
expect 2 "from 0 to 30" "$pack" extract a.pmtiles b.pmtiles --bbox 0,0,5,5 --zoom-max 31
expect 2 "pmtiles or mbtiles" "$pack" extract a.pmtiles b.pmtiles --bbox 0,0,5,5 --format zip
expect 2 "required" "$pack" download 'http://127.0.0.1:9/{z}/{x}/{y}' b.mbtiles --bbox 0,0,5,5
expect 2 "--rate" "$pack" download 'http://127.0.0.1:9/{z}/{x}/{y}' b.mbtiles --bbox 0,0,5,5 --zoom-min 0 \
  --zoom-max 1 --rate 0
expect 1 "cannot be read" "$pack" extract nowhere.pmtiles b.pmtiles --bbox 0,0,5,5
[ -z "$(ls -A)" ] || [ "$(ls -A)" = "$(printf 'err.txt\nout.txt')" ] || fail "files left behind: $(ls -A)"

if [ ! -d "$fixtures" ] || ! command -v python3 >/dev/null; then
  echo "tessel-pack extract/download: ok (no fixtures or python3: the rest skipped)"
  exit 0
fi
expect 0 "wrote europe.mbtiles: 9 tiles" "$pack" extract "$fixtures/stamen_toner_z3.pmtiles" europe.mbtiles \
  --bbox -10,35,30,60
expect 1 "exists already" "$pack" extract "$fixtures/stamen_toner_z3.pmtiles" europe.mbtiles --bbox -10,35,30,60
expect 1 "none of those asked for" "$pack" extract "$fixtures/stamen_toner_z3.pmtiles" deep.pmtiles \
  --bbox -10,35,30,60 --zoom-min 9

python3 "$source_dir/tests/support/tile_server.py" "$fixtures/vector" "$fixtures/plain_1.mbtiles" >port.txt &
server=$!
for _ in $(seq 100); do grep -q PORT port.txt 2>/dev/null && break; sleep 0.1; done
port=$(awk '{print $2}' port.txt)
[ -n "$port" ] || fail "the test server did not start"
expect 0 "2 requests" "$pack" extract "http://127.0.0.1:$port/files/montevideo.pmtiles" one.pmtiles \
  --bbox -56.2,-34.9,-56.19,-34.89
expect 1 "web page" "$pack" extract "http://127.0.0.1:$port/html/x.pmtiles" two.pmtiles --bbox 0,0,1,1
expect 0 "5 tiles fetched" "$pack" download "http://127.0.0.1:$port/tiles/{z}/{x}/{y}.png" world.mbtiles \
  --bbox -180,-85,180,85 --zoom-min 0 --zoom-max 1 --rate 20
expect 0 "0 tiles fetched, 5 already there" "$pack" download "http://127.0.0.1:$port/tiles/{z}/{x}/{y}.png" \
  world.mbtiles --bbox -180,-85,180,85 --zoom-min 0 --zoom-max 1 --rate 20
expect 1 "add --yes" "$pack" download "http://127.0.0.1:$port/tiles/{z}/{x}/{y}.png" big.mbtiles \
  --bbox -180,-85,180,85 --zoom-min 0 --zoom-max 6 </dev/null
[ ! -e big.mbtiles ] && [ ! -e big.mbtiles.part ] || fail "an unconfirmed download left a file"
echo "tessel-pack extract/download: ok"
