#!/usr/bin/env bash
# The sample job: converts the sample points shipped in examples/ with the lantrel tool and
# names the county (with its Kentucky plane-coordinate zone) of every point.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
lantrel="$build/bin/lantrel"

# Runs a lantrel command; status 1 (some points failed, reported on standard error) does not
# end the job, anything else does.
tolerant() {
  local status=0
  "$@" || status=$?
  ((status <= 1)) || exit "$status"
}

have_data=1
if ! echo "-84.87 38.20" | "$lantrel" locate >/dev/null 2>&1; then
  have_data=0
  echo "(county and quadrangle names need the data file lantrel.bin, built from data/; 'lantrel info' shows where it is sought)"
fi

# show TITLE FROM TO FILE: the converted points, each followed by its county and zone.
show() {
  local title=$1 from=$2 to=$3 file=$4
  echo
  echo "== $title"
  echo "   lantrel convert --from $from --to $to examples/$(basename "$file")"
  local points
  points=$(grep -v '^#' "$file")
  if ((have_data)); then
    paste -d '\t' <(tolerant "$lantrel" convert --from "$from" --to "$to" <<<"$points") \
                  <(tolerant "$lantrel" locate --from "$from" <<<"$points" |
                      awk -F '\t' '# The sample lines hold no tab: locate appends its fields after
                                   # the line as fields 2 on: state, state_fips, county,
                                   # county_fips, sp_zone, quad, tile, ...
                                   NF < 8 { print "-"; next }
                                   { s = $2; c = $4; z = $6; q = $7; t = $8;
                                     gsub(";", " / ", c); gsub(";", "/", z); gsub(";", " / ", q);
                                     gsub(";", " / ", t);
                                     place = (c == "" ? (s == "" ? "-" : s) : c " County (" z ")");
                                     if (q != "") place = place ", " q " quadrangle (" t ")";
                                     print place }') |
      awk -F '\t' '{ printf "   %-60s %s\n", $1, $2 }'
  else
    tolerant "$lantrel" convert --from "$from" --to "$to" <<<"$points" | sed 's/^/   /'
  fi
}

show "Towns, NAD 83 longitude/latitude -> Kentucky single zone, US survey feet" \
     geo/nad83 single/nad83/usft "$here/towns.txt"
show "Survey marks, Kentucky North zone NAD 27 feet -> UTM zone 16 NAD 83 metres" \
     north/nad27/usft utm16/nad83/m "$here/survey-nad27.txt"
show "Wells by Carter location (NAD 27) -> NAD 83 longitude/latitude" \
     carter/nad27 geo/nad83 "$here/wells.txt"

echo
echo "== Sites in a CSV file, UTM zone 16 NAD 83 -> NAD 83 longitude/latitude"
echo "   lantrel convert --csv --from utm16 --to geo --x-col easting --y-col northing -p 6 examples/sites-utm16.csv"
tolerant "$lantrel" convert --csv --from utm16 --to geo --x-col easting --y-col northing -p 6 \
  "$here/sites-utm16.csv" | sed 's/^/   /'
