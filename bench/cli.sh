#!/usr/bin/env bash
# Speed of the lantrel command-line tool against PROJ's cs2cs on 1,000,000 points:
#   1. geographic NAD 83 -> Kentucky North zone NAD 83, US survey feet
#   2. Kentucky North zone NAD 27, US survey feet -> UTM zone 16 NAD 83, metres (datum shift)
# Both programs write 3 decimals; the outputs must agree to within a rounding step, and the
# wall-time ratio cs2cs / lantrel is printed (target: at least 3).
# Usage: bench/cli.sh [BUILD_DIR] [POINTS]
set -euo pipefail
build=${1:-build}
points=${2:-1000000}
lantrel="$build/bin/lantrel"
here=$(cd "$(dirname "$0")" && pwd)
shared=${LANTREL_SHARED_DATA:-$here/../../shared/data}
command -v cs2cs >/dev/null || { echo "cs2cs (Debian proj-bin) is not installed" >&2; exit 1; }
[ -x "$lantrel" ] || { echo "$lantrel is missing: build first (make all)" >&2; exit 1; }
[ -f "$shared/nadcon/us_noaa_conus.tif" ] || { echo "NADCON grid not found under $shared/nadcon" >&2; exit 1; }

# PROJ must use the NADCON CONUS grid for NAD 27 <-> NAD 83, not a ballpark transformation.
export PROJ_DATA="${PROJ_DATA:-/usr/share/proj}:$shared/nadcon"
export PROJ_NETWORK=OFF

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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

now() { date +%s.%N; }
# best TIME-VAR OUT CMD...: the best wall time of three runs.
best() {
  local var=$1 out=$2
  shift 2
  local t best_t=""
  for _ in 1 2 3; do
    local t0 t1
    t0=$(now)
    "$@" >"$out"
    t1=$(now)
    t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
    if [ -z "$best_t" ] || awk -v a="$t" -v b="$best_t" 'BEGIN { exit !(a < b) }'; then best_t=$t; fi
  done
  printf -v "$var" '%s' "$best_t"
}

# agree A B UNITS: compares the first two columns line by line.
agree() {
  paste "$1" "$2" | awk -v units="$3" '
    { dx = $1 - $3; dy = $2 - $4; if (dx < 0) dx = -dx; if (dy < 0) dy = -dy;
      if (dx > mx) mx = dx; if (dy > my) my = dy; if (dx > 0.0015 || dy > 0.0015) bad++; n++ }
    END { printf "   agreement: %d points, max |dx| %.4f, max |dy| %.4f %s, %d beyond one rounding step\n",
                 n, mx, my, units, bad; exit bad > 0 }'
}

status=0
run_case() {
  local title=$1 units=$2 lantrel_in=$3 cs2cs_in=$4
  shift 4
  local from=$1 to=$2 src=$3 dst=$4
  echo "== $title ($points points)"
  local tl tc
  best tl "$work/lantrel.out" "$lantrel" convert --from "$from" --to "$to" --precision 3 "$lantrel_in"
  best tc "$work/cs2cs.out" cs2cs -f %.3f "$src" "$dst" "$cs2cs_in"
  echo "   lantrel convert --from $from --to $to --precision 3: ${tl} s"
  echo "   cs2cs -f %.3f $src $dst: ${tc} s"
  agree "$work/lantrel.out" "$work/cs2cs.out" "$units" || status=1
  awk -v a="$tc" -v b="$tl" 'BEGIN { printf "   speed ratio cs2cs / lantrel: %.2fx (target >= 3x)\n", a / b }'
}

run_case "geographic NAD 83 -> Kentucky North zone NAD 83 (US ft)" "ft" \
  "$work/geo.txt" "$work/geo-latlon.txt" geo/nad83 north/nad83/usft EPSG:4269 EPSG:2246
run_case "Kentucky North zone NAD 27 (US ft) -> UTM 16 NAD 83 (m)" "m" \
  "$work/north27.txt" "$work/north27.txt" north/nad27/usft utm16/nad83/m EPSG:26779 EPSG:26916
exit $status
