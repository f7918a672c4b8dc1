#!/usr/bin/env bash
# tessel-pack routes and route as a user runs them: routing data made from
# the Andorra extract, routes printed, as JSON and as GPX (read back with
# gpxpy), and every bad input a clear message with nothing left behind.
set -u
pack=$1
source_dir=$2
fixtures=$source_dir/../shared/fixtures
work=$(mktemp -d /tmp/tessel-route-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
. "$source_dir/tests/e2e/expect.sh"
leftovers() { [ -z "$(ls -A maps)" ] || fail "left behind: $(ls -A maps)"; }

mkdir maps
echo "not a pbf" > bad.osm.pbf
expect 1 "not an OpenStreetMap PBF file" "$pack" routes bad.osm.pbf maps/bad.routes
expect 1 "cannot be opened" "$pack" routes missing.osm.pbf maps/bad.routes
leftovers
expect 1 "holds no routing data" "$pack" route maps --from 42.5,1.5 --to 42.4,1.4
expect 1 "--from takes LAT,LON" "$pack" route maps --from 42.5 --to 42.4,1.4
expect 1 "--to takes LAT,LON" "$pack" route maps --from 42.5,1.5 --to 95,1.4
expect 1 "--profile takes" "$pack" route maps --from 42.5,1.5 --to 42.4,1.4 --profile horse

if [ ! -f "$fixtures/andorra.osm.pbf" ] || ! command -v planetsplitter >/dev/null; then
  echo "skipped the routes themselves: no andorra.osm.pbf beside the project or no planetsplitter"
  exit 0
fi
if grep -q qemu-s390x "$pack" 2>/dev/null; then
  echo "skipped the routes themselves: the host's planetsplitter writes little-endian files a big-endian build refuses"
  exit 0
fi
# A cut PBF: planetsplitter's own message, nothing under the name.
head -c 200000 "$fixtures/andorra.osm.pbf" > cut.osm.pbf
expect 1 "planetsplitter failed" "$pack" routes cut.osm.pbf maps/cut.routes
leftovers
# Without planetsplitter on the PATH (the emulator's wrapper needs it).
if [ "$(head -c 2 "$pack")" != "#!" ]; then
  expect 1 "planetsplitter was not found" env PATH=/nonexistent "$pack" routes "$fixtures/andorra.osm.pbf" \
    maps/andorra.routes
  leftovers
fi
# Something else under the name is never replaced.
mkdir maps/photos.routes && echo keep > maps/photos.routes/a.jpg
expect 1 "is not routing data" "$pack" routes "$fixtures/andorra.osm.pbf" maps/photos.routes
[ "$(cat maps/photos.routes/a.jpg)" = keep ] || fail "a folder that was not routing data was touched"
rm -r maps/photos.routes

expect 0 "wrote maps/andorra.routes" "$pack" routes "$fixtures/andorra.osm.pbf" maps/andorra.routes
[ "$(ls -A maps)" = andorra.routes ] || fail "maps holds $(ls -A maps)"
# Made again: replaced whole, nothing beside it.
expect 0 "wrote maps/andorra.routes" "$pack" routes "$fixtures/andorra.osm.pbf" maps/andorra.routes/
[ "$(ls -A maps)" = andorra.routes ] || fail "maps holds $(ls -A maps) after a second run"

expect 0 "arrive at the destination" "$pack" route maps --from 42.5078,1.5211 --to 42.4633,1.4906
grep -q "^1\. head southwest on Carrer Doctor Nequí" out.txt || fail "first turn: $(cat out.txt)"
expect 0 "jste v cíli" "$pack" route maps/andorra.routes --from 42.5078,1.5211 --to 42.4633,1.4906 --language czech
expect 1 "no language file" "$pack" route maps --from 42.5078,1.5211 --to 42.4633,1.4906 --language klingon
expect 1 "covers both" "$pack" route maps --from 42.5078,1.5211 --to 48.85,2.35
expect 1 "near the start" "$pack" route maps --from 42.60,1.45 --to 42.4633,1.4906 --profile car
echo '<routino-profiles' > broken.xml
expect 1 "broken.xml" "$pack" route maps --from 42.5078,1.5211 --to 42.4633,1.4906 --profiles broken.xml

"$pack" route maps --from 42.5425,1.7330 --to 42.4633,1.4906 --json --gpx maps/../route.gpx > route.json \
  || fail "route --json --gpx"
# Debian's python3, where python3-gpxpy is installed (another python3 may come first on the PATH).
/usr/bin/python3 - <<'PY' || fail "JSON or GPX does not hold the route"
import json, gpxpy
r = json.load(open("route.json"))
assert r["profile"] == "car" and not r["shortest"], r["profile"]
assert 30000 < r["metres"] < 50000, r["metres"]
assert r["turns"][0]["kind"] == "start" and r["turns"][-1]["kind"] == "arrive"
g = gpxpy.parse(open("route.gpx"))
assert len(g.routes) == 1 and len(g.routes[0].points) == len(r["turns"])
assert g.routes[0].points[1].name == r["turns"][1]["text"]
assert len(g.tracks[0].segments[0].points) == len(r["line"])
PY
[ -z "$(ls -A . | grep '\.part$')" ] || fail "a part file was left"
echo ok
