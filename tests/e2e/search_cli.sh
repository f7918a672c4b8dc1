#!/usr/bin/env bash
# tessel-pack index and search as a user runs them: an index of a real
# extract, queries in text and JSON, coordinates, and bad input.
set -u
pack=$1
fixtures=${2:-.}/../shared/fixtures
work=$(mktemp -d /tmp/tessel-search-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

for c in index search; do
  "$pack" $c --help | grep -q "usage: tessel-pack $c" || fail "$c --help"
done
printf 'not a pbf' > bad.osm.pbf
"$pack" index bad.osm.pbf out.search 2>err.txt; [ $? -eq 1 ] || fail "a bad extract: exit code 1 expected"
grep -q "bad.osm.pbf" err.txt || fail "the message names the file: $(cat err.txt)"
[ -z "$(ls -A | grep -v -e bad.osm.pbf -e err.txt)" ] || fail "a failed index left files behind: $(ls -A)"
"$pack" search bad.osm.pbf query 2>err.txt; [ $? -eq 1 ] || fail "not an index: exit code 1 expected"
grep -q "not a search index" err.txt || fail "not an index: $(cat err.txt)"

if [ ! -f "$fixtures/andorra.osm.pbf" ]; then
  echo "skipped the real extract: no $fixtures/andorra.osm.pbf"
  exit 0
fi
"$pack" index "$fixtures/andorra.osm.pbf" andorra.search >out.txt || fail "index"
grep -q "^wrote andorra.search: [0-9]* entries" out.txt || fail "index summary: $(cat out.txt)"
"$pack" search andorra.search "sant julia" --near 42.5063,1.5218 >out.txt || fail "search"
grep -q "^Sant Julià de Lòria · town · " out.txt || fail "search finds the town first: $(cat out.txt)"
"$pack" search andorra.search "Carrer Doctor Nequí" --json --limit 3 >out.json || fail "search --json"
python3 - out.json <<'PY' || fail "search --json: $(cat out.json)"
import json, sys
doc = json.load(open(sys.argv[1]))
r = doc["results"]
assert 1 <= len(r) <= 3, r
assert r[0]["name"] == "Carrer Doctor Nequí" and r[0]["kind"] == "street" and r[0]["zoom"] == 16, r[0]
assert r[0]["place"] == "Andorra la Vella", r[0]
PY
"$pack" search andorra.search "N 42 30.5 E 1 31.2" --json >out.json || fail "coordinates"
python3 -c 'import json,sys; r=json.load(open("out.json"))["results"][0]; assert r["kind"]=="coordinates" and abs(r["lat"]-42.508333)<1e-5, r' || fail "coordinates: $(cat out.json)"
"$pack" search andorra.search "95, 1" 2>err.txt; [ $? -eq 1 ] || fail "bad coordinates: exit code 1 expected"
grep -q "expected a latitude" err.txt || fail "bad coordinates: $(cat err.txt)"
"$pack" search andorra.search "  ?! " >out.txt 2>err.txt || fail "punctuation only"
[ ! -s out.txt ] || fail "punctuation only finds nothing: $(cat out.txt)"
"$pack" search andorra.search andorra --limit 0 2>/dev/null; [ $? -eq 2 ] || fail "--limit 0: exit code 2 expected"
"$pack" search andorra.search andorra --near 100,1 2>/dev/null; [ $? -eq 2 ] || fail "--near off the Earth: exit code 2"
echo "search cli: ok"
