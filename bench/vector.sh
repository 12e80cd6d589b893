#!/usr/bin/env bash
# Speed of lantrel on vector files against GDAL's ogr2ogr, which most GIS users would reach for:
#   1. a GeoPackage of geographic NAD 83 points -> Kentucky North zone NAD 83, US survey feet
#   2. the same layer -> UTM zone 16 NAD 27 (datum shift by the built-in grid; ogr2ogr uses the
#      NOAA CONUS grid)
# Each job keeps two attribute fields. The converted geometries must agree to within 1 mm (the
# EPSG US-foot codes round the false easting by 0.000333 ft); the wall-time ratio
# ogr2ogr / lantrel is printed, and `lantrel locate` on the same file is timed alone (no peer
# joins county, quadrangle and Carter location in one step).
# Usage: bench/vector.sh [BUILD_DIR] [POINTS]
set -euo pipefail
command -v ogr2ogr >/dev/null || { echo "ogr2ogr (Debian gdal-bin) is not installed" >&2; exit 1; }
default_points=100000
source "$(dirname "$0")/common.sh"

awk -v n="$points" 'BEGIN {
  srand(20061023);
  print "api,operator,lon,lat";
  for (i = 0; i < n; i++)
    printf "16%08d,op%d,%.9f,%.9f\n", i, i % 97, -(82.5 + 4.0 * rand()), 37.5 + 1.6 * rand();
}' >"$work/wells.csv"
"$lantrel" convert -f geo -t geo --overwrite -o "$work/wells.gpkg" "$work/wells.csv" >/dev/null

# xy FILE: the points' coordinates, one "x y" line per feature in order.
xy() { ogr2ogr -f CSV /vsistdout/ "$1" -lco GEOMETRY=AS_XY | tail -n +2 | cut -d, -f1,2 | tr ',' ' '; }

status=0
run_case() {
  local title=$1 to=$2 epsg=$3 tolerance=$4 units=$5
  echo "== $title ($points points)"
  local tl to_
  best tl /dev/null "$lantrel" convert -t "$to" --overwrite -o "$work/lantrel.gpkg" "$work/wells.gpkg"
  best to_ /dev/null ogr2ogr -overwrite -t_srs "EPSG:$epsg" "$work/ogr.gpkg" "$work/wells.gpkg"
  echo "   lantrel convert -t $to -o OUT.gpkg IN.gpkg: ${tl} s"
  echo "   ogr2ogr -t_srs EPSG:$epsg OUT.gpkg IN.gpkg: ${to_} s"
  xy "$work/lantrel.gpkg" >"$work/lantrel.xy"
  xy "$work/ogr.gpkg" >"$work/ogr.xy"
  agree "$work/lantrel.xy" "$work/ogr.xy" "$tolerance" "$units" || status=1
  awk -v a="$to_" -v b="$tl" 'BEGIN { printf "   speed ratio ogr2ogr / lantrel: %.2fx\n", a / b }'
}

run_case "GeoPackage, geographic NAD 83 -> Kentucky North zone NAD 83 (US ft)" north 2246 0.0034 ft
run_case "GeoPackage, geographic NAD 83 -> UTM 16 NAD 27 (m)" utm16/nad27 26716 0.001 m
if "$lantrel" info 2>/dev/null | grep -q "lantrel.bin"; then
  best tloc /dev/null "$lantrel" locate --overwrite -o "$work/located.gpkg" "$work/wells.gpkg"
  echo "== locate -o OUT.gpkg IN.gpkg ($points points, nine fields joined): ${tloc} s"
fi
exit $status
