#!/usr/bin/env bash
# tessel-pack dem and track as a user runs them: bad .hgt files and
# arguments (clear messages, nothing left behind), the real SRTM tile of
# the shared fixtures turned into an archive (skipped when absent), and a
# track's figures as text and JSON with elevations from that archive.
set -u
pack=$1
source_dir=$2
fixtures=$source_dir/../shared/fixtures
work=$(mktemp -d /tmp/tessel-terrain-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
. "$source_dir/tests/e2e/expect.sh"

for c in dem track; do
  "$pack" $c --help | grep -q "usage: tessel-pack $c" || fail "$c --help"
done
expect 2 "usage: tessel-pack dem" "$pack" dem out.pmtiles
head -c 1000 /dev/zero >N10E020.hgt
expect 1 "N10E020.hgt: is 1000 bytes, neither a 1″ SRTM tile" "$pack" dem N10E020.hgt out.pmtiles
expect 1 "ending in .pmtiles" "$pack" dem N10E020.hgt out.mbtiles
expect 1 "--fill takes" "$pack" dem N10E020.hgt out.pmtiles --fill -3
head -c $((1201 * 1201 * 2)) /dev/zero >tile.hgt
expect 1 "tile.hgt: its name does not give" "$pack" dem tile.hgt out.pmtiles
expect 1 "no tracks" "$pack" track N10E020.hgt
expect 1 "--encoding takes" "$pack" track a.gpx --encoding png
[ "$(ls -A | tr '\n' ' ')" = "N10E020.hgt err.txt out.txt tile.hgt " ] || fail "files left behind: $(ls -A)"

# A walk northwards, climbing 1 m every 10 m, half of it without elevations.
python3 - <<'PY'
with open("walk.gpx", "w") as f:
    f.write('<?xml version="1.0"?><gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"><trk><name>North</name><trkseg>')
    for i in range(101):
        ele = "<ele>%d</ele>" % (100 + i) if i <= 50 else ""
        f.write('<trkpt lat="%.7f" lon="11.5">%s<time>2024-06-01T10:%02d:%02dZ</time></trkpt>' % (57.5 + i * 10 / 111195.08, ele, i * 6 // 60, i * 6 % 60))
    f.write("</trkseg></trk></gpx>")
PY
expect 0 "distance:        1.000 km" "$pack" track walk.gpx
grep -q "^track 1: North" out.txt || fail "track name: $(cat out.txt)"
grep -q "duration:        0:10:00" out.txt || fail "duration: $(cat out.txt)"
grep -q "highest point:   150.0 m" out.txt || fail "highest: $(cat out.txt)"
"$pack" track walk.gpx --json >walk.json || fail "track --json"
python3 -c "
import json; t = json.load(open('walk.json'))[0]
assert t['name'] == 'North' and t['points'] == 101 and abs(t['distance_m'] - 1000) < 0.5, t
assert t['ascent_m'] == 50.0 and t['descent_m'] == 0 and t['duration_s'] == 600, t
" || fail "track --json: $(cat walk.json)"

if [ ! -f "$fixtures/dem/N57E011.hgt" ]; then
  echo "tessel-pack dem/track: ok (no fixtures: the real tile skipped)"
  exit 0
fi
expect 0 "wrote coast.pmtiles" "$pack" dem "$fixtures/dem/N57E011.hgt" coast.pmtiles
expect 0 "level 11: 84 tiles" "$pack" info coast.pmtiles
"$pack" track walk.gpx --dem coast.pmtiles --json >filled.json 2>err.txt || fail "track --dem: $(cat err.txt)"
python3 -c "
import json; t = json.load(open('filled.json'))[0]
assert t['elevations_filled'] == 50, t
" || fail "track --dem: $(cat filled.json)"
[ "$(ls -A | grep -c tessel-)" = 0 ] || fail "temporary files left: $(ls -A)"
echo "tessel-pack dem/track: ok"
