#!/usr/bin/env bash
# Speed of the lantrel command-line tool against PROJ's cs2cs on 1,000,000 points:
#   1. geographic NAD 83 -> Kentucky North zone NAD 83, US survey feet
#   2. Kentucky North zone NAD 27, US survey feet -> UTM zone 16 NAD 83, metres (datum shift)
# Both programs write 3 decimals; the outputs must agree to within a rounding step, and the
# wall-time ratio cs2cs / lantrel is printed for lantrel on one thread (--threads 1, like
# cs2cs; target: at least 10) and on all cores (its default). The same points as a CSV
# file (a header, x and y columns) must come out as the plain lines do, within 1.3 times their
# time.
# Usage: bench/cli.sh [BUILD_DIR] [POINTS]
set -euo pipefail
command -v cs2cs >/dev/null || { echo "cs2cs (Debian proj-bin) is not installed" >&2; exit 1; }
default_points=1000000
source "$(dirname "$0")/common.sh"

# The same random points for both programs; PROJ's geographic CRS takes latitude first.
awk -v n="$points" -v dir="$work" 'BEGIN {
  srand(20061023);
  for (i = 0; i < n; i++) {
    lon = -(82.5 + 4.0 * rand()); lat = 37.5 + 1.6 * rand();
    printf "%.9f %.9f\n", lon, lat > (dir "/geo.txt");
    printf "%.9f %.9f\n", lat, lon > (dir "/geo-latlon.txt");
    printf "%.3f %.3f\n", 1200000 + 1200000 * rand(), 50000 + 450000 * rand() > (dir "/north27.txt");
  }
}'

status=0
run_case() {
  local title=$1 units=$2 lantrel_in=$3 cs2cs_in=$4
  shift 4
  local from=$1 to=$2 src=$3 dst=$4
  echo "== $title ($points points)"
  local tl tone tc
  best tl "$work/lantrel.out" "$lantrel" convert --from "$from" --to "$to" --precision 3 "$lantrel_in"
  best tone "$work/lantrel-1.out" "$lantrel" convert --threads 1 --from "$from" --to "$to" --precision 3 "$lantrel_in"
  best tc "$work/cs2cs.out" cs2cs -f %.3f "$src" "$dst" "$cs2cs_in"
  echo "   lantrel convert --from $from --to $to --precision 3: ${tl} s (all cores), ${tone} s (--threads 1)"
  echo "   cs2cs -f %.3f $src $dst: ${tc} s"
  agree "$work/lantrel.out" "$work/cs2cs.out" 0.0015 "$units" || status=1
  cmp -s "$work/lantrel-1.out" "$work/lantrel.out" ||
    { echo "   the output on one thread differs from the output on all cores" >&2; status=1; }
  awk -v a="$tc" -v b="$tone" -v c="$tl" 'BEGIN {
    printf "   speed ratio cs2cs / lantrel: %.2fx on one thread (target >= 10x), %.2fx on all cores\n", a / b, a / c }'
  local tv
  { echo "x,y"; tr ' ' ',' < "$lantrel_in"; } > "$work/in.csv"
  best tv "$work/lantrel.csv" "$lantrel" convert --csv --from "$from" --to "$to" --precision 3 "$work/in.csv"
  echo "   lantrel convert --csv (the same points as CSV): ${tv} s"
  tail -n +2 "$work/lantrel.csv" | tr ',' ' ' | cmp -s - "$work/lantrel.out" ||
    { echo "   the CSV output differs from the plain output" >&2; status=1; }
  awk -v a="$tv" -v b="$tl" 'BEGIN { printf "   CSV / plain lines: %.2fx (target <= 1.3x)\n", a / b }'
}

run_case "geographic NAD 83 -> Kentucky North zone NAD 83 (US ft)" "ft" \
  "$work/geo.txt" "$work/geo-latlon.txt" geo/nad83 north/nad83/usft EPSG:4269 EPSG:2246
run_case "Kentucky North zone NAD 27 (US ft) -> UTM 16 NAD 83 (m)" "m" \
  "$work/north27.txt" "$work/north27.txt" north/nad27/usft utm16/nad83/m EPSG:26779 EPSG:26916
exit $status
