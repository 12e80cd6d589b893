# Shared by the tool benchmarks: arguments, the programs and data they need, PROJ set up with
# the NADCON grid, a scratch folder, and best-of-three wall timing.
# Sourced after setting `default_points`; reads BUILD_DIR and POINTS from the command line.
build=${1:-build}
points=${2:-$default_points}
lantrel="$build/bin/lantrel"
bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
shared=${LANTREL_DATA_SOURCES:-$bench_dir/../data}
[ -x "$lantrel" ] || { echo "$lantrel is missing: build first (make all)" >&2; exit 1; }
[ -f "$shared/nadcon/us_noaa_conus.tif" ] || { echo "NADCON grid not found under $shared/nadcon" >&2; exit 1; }
# PROJ must use the NADCON CONUS grid for NAD 27 <-> NAD 83, not a ballpark transformation.
export PROJ_DATA="${PROJ_DATA:-/usr/share/proj}:$shared/nadcon"
export PROJ_NETWORK=OFF

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
# best TIME-VAR OUT CMD...: the best wall time of three runs, standard output into OUT.
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

# agree A B TOLERANCE UNITS: compares the first two columns of two files line by line and
# fails when a pair differs by more than TOLERANCE or the files hold no points.
agree() {
  paste -d ' ' <(awk '{ print $1, $2 }' "$1") <(awk '{ print $1, $2 }' "$2") | awk -v tol="$3" -v units="$4" '
    { dx = $1 - $3; dy = $2 - $4; if (dx < 0) dx = -dx; if (dy < 0) dy = -dy;
      if (dx > mx) mx = dx; if (dy > my) my = dy; if (dx > tol || dy > tol) bad++; n++ }
    END { printf "   agreement: %d points, max |dx| %.6f, max |dy| %.6f %s, %d beyond %s\n",
                 n, mx, my, units, bad, tol; exit bad > 0 || n == 0 }'
}
