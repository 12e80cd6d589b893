"""Times lantrel's Python array calls beside pyproj and geopandas.sjoin on the same points in
one process (medians of repeated runs), and checks that the peers agree.

    python bench/python_bench.py [--points N] [--sjoin-points N] [--repeat R]

Run it with the interpreter that has lantrel installed (see docs/python.md) and Debian's
python3-pyproj, python3-geopandas and python3-rtree. The NAD 27 case gives pyproj the NOAA
CONUS grid from LANTREL_DATA_SOURCES/nadcon (network access off), and shows that the grid moved
the points.
"""

import argparse
import os
import statistics
import sys
import time

os.environ["PROJ_NETWORK"] = "OFF"

import numpy as np  # noqa: E402

import lantrel  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SHARED = os.path.abspath(os.environ.get("LANTREL_DATA_SOURCES",
                                        os.path.join(HERE, "..", "data")))
GRID = os.path.join(SHARED, "nadcon", "us_noaa_conus.tif")


def median_seconds(run, repeat):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def median_seconds_in_turn(ours, peer, repeat):
    """Medians of `ours` and `peer` run in turn, call by call: a machine whose speed drifts
    from minute to minute then slows both alike."""
    a, b = [], []
    for _ in range(repeat):
        for run, times in ((ours, a), (peer, b)):
            start = time.perf_counter()
            run()
            times.append(time.perf_counter() - start)
    return statistics.median(a), statistics.median(b)


def report(case, n, ours, peer=None, peer_name=""):
    line = f"{case:<44} lantrel {ours / n * 1e9:9.1f} ns/pt"
    if peer is not None:
        line += f"   {peer_name} {peer / n * 1e9:10.1f} ns/pt   ratio {peer / ours:6.1f}x"
    print(line, flush=True)


def points(n, seed=1):
    rng = np.random.default_rng(seed)
    return -rng.uniform(81.6, 89.9, n), rng.uniform(36.1, 39.4, n)


def case_geo_to_2246(n, repeat):
    import pyproj
    lon, lat = points(n)
    ours = lantrel.Transformer("EPSG:4269", "EPSG:2246")
    peer = pyproj.Transformer.from_crs("EPSG:4269", "EPSG:2246", always_xy=True)
    a = ours.transform(lon, lat)
    b = peer.transform(lon, lat)
    diff = max(np.max(np.abs(a[0] - b[0])), np.max(np.abs(a[1] - b[1])))
    report("NAD 83 geographic -> EPSG:2246", n,
           *median_seconds_in_turn(lambda: ours.transform(lon, lat),
                                   lambda: peer.transform(lon, lat), repeat), "pyproj")
    print(f"    largest difference from pyproj: {diff:.2e} US ft")


def case_north27_to_utm16(n, repeat):
    import pyproj
    if not os.path.exists(GRID):
        print(f"    skipped: {GRID} is missing")
        return
    lon, lat = points(n)
    lon = np.clip(lon, -89.5, -82.0)
    lat = np.clip(lat, 36.6, 39.1)
    e, northing = lantrel.Transformer("geo/nad27", "north/nad27/usft").transform(lon, lat)
    lcc = ("+proj=lcc +lat_0=37.5 +lon_0=-84.25 +lat_1=37.9666666666667 "
           "+lat_2=38.9666666666667 +x_0=609601.219202438 +y_0=0 +ellps=clrk66 +units=us-ft")
    utm = "+proj=utm +zone=16 +ellps=GRS80 +units=m"
    with_grid = pyproj.Transformer.from_pipeline(
        f"+proj=pipeline +step +inv {lcc} +step +proj=hgridshift +grids={GRID} +step {utm}")
    without = pyproj.Transformer.from_pipeline(f"+proj=pipeline +step +inv {lcc} +step {utm}")
    ours = lantrel.Transformer("north/nad27/usft", "utm16/nad83/m")
    a = ours.transform(e, northing)
    b = with_grid.transform(e, northing)
    c = without.transform(e, northing)
    moved = np.hypot(b[0] - c[0], b[1] - c[1])
    if not (np.isfinite(b[0]).all() and moved.min() > 1.0):
        raise SystemExit("pyproj did not apply the grid (PROJ_NETWORK=OFF, " + GRID + ")")
    report("NAD 27 north zone US ft -> NAD 83 UTM 16", n,
           *median_seconds_in_turn(lambda: ours.transform(e, northing),
                                   lambda: with_grid.transform(e, northing), repeat),
           "pyproj+grid")
    print(f"    grid {os.path.basename(GRID)} moved pyproj's points {moved.min():.1f}-"
          f"{moved.max():.1f} m; largest difference from lantrel "
          f"{max(np.max(np.abs(a[0] - b[0])), np.max(np.abs(a[1] - b[1]))):.3f} m")


def layers():
    """State, county and quadrangle layers built by the data-file builder's own readers from
    the same sources as lantrel.bin, one feature per record in file order."""
    import geopandas
    from shapely.geometry import Polygon, box
    sys.path.insert(0, os.path.join(HERE, "..", "tools"))
    import build_refdata as source
    states = source.load_states(os.path.join(SHARED, "boundaries",
                                             "states-from-counties-500k.geojson"))
    counties = source.load_counties(os.path.join(SHARED, "boundaries", "ky-counties-500k.geojson"))
    quads, _ = source.load_quads(os.path.join(SHARED, "quads", "quads.csv"))

    def rings(records):
        return geopandas.GeoDataFrame({"record": range(len(records))},
                                      geometry=[Polygon(r[2]) for r in records], crs="EPSG:4269")

    quad_layer = geopandas.GeoDataFrame(
        {"record": range(len(quads))},
        geometry=[box(-xmax, ymin, -xmin, ymax) for _, _, _, xmax, xmin, ymax, ymin in quads],
        crs="EPSG:4269")
    return rings(states), rings(counties), quad_layer


def case_locate(n, sjoin_n, repeat):
    import geopandas
    lon, lat = points(n, seed=3)
    locator = lantrel.Locator()
    report("state + county + quadrangle", n,
           median_seconds(lambda: locator.locate_arrays(lon, lat), repeat))
    state_layer, county_layer, quad_layer = layers()
    slon, slat = lon[:sjoin_n], lat[:sjoin_n]
    frame = geopandas.GeoDataFrame(geometry=geopandas.points_from_xy(slon, slat), crs="EPSG:4269")

    def peer():
        return [geopandas.sjoin(frame, layer, how="left", predicate="within")
                for layer in (state_layer, county_layer, quad_layer)]

    start = time.perf_counter()
    joined = peer()
    peer_time = time.perf_counter() - start
    ours_time = median_seconds(lambda: locator.locate_arrays(slon, slat), repeat)
    report(f"  same on {sjoin_n} points vs geopandas.sjoin", sjoin_n, ours_time, peer_time,
           "sjoin")
    ours = locator.locate_arrays(slon, slat)
    disagree = 0
    for layer, (first, count) in zip(joined, (("state", "state_count"), ("county", "county_count"),
                                             ("quad", "quad_count"))):
        hits = layer.dropna(subset=["record"])
        counts = hits.groupby(level=0).size().reindex(range(sjoin_n), fill_value=0).to_numpy()
        firsts = hits.groupby(level=0).record.min().reindex(range(sjoin_n), fill_value=-1)
        names = locator._tables[first]
        expected = np.where(firsts.to_numpy() >= 0, names[firsts.to_numpy().astype(int)], "")
        disagree += int(np.sum(counts != ours[count]))
        disagree += int(np.sum(expected != ours[first]))
    print(f"    answers differing from sjoin: {disagree}")


def case_by_name(repeat):
    p = lantrel.ZrGeoPosition()

    def one():
        for i in range(2000):
            p.Projection = lantrel.zrGeoProjection.zrGeographic
            p.x = -84.5 - i * 1e-6
            p.y = 38.0
            p.Convert(lantrel.zrGeoDatum.zrNAD83, lantrel.zrGeoProjection.zrNorthZone,
                      lantrel.zrGeoUnits.zrUSFt)
            p.x, p.y
    report("one point through the class binding", 2000, median_seconds(one, repeat))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--sjoin-points", type=int, default=20_000)
    parser.add_argument("--repeat", type=int, default=5)
    args = parser.parse_args()
    print(f"lantrel {lantrel.__version__} from {lantrel._native.library_path()}")
    case_geo_to_2246(args.points, args.repeat)
    case_north27_to_utm16(args.points, args.repeat)
    if lantrel._native.has("lantrel_locator_create"):
        case_locate(args.points, args.sjoin_points, args.repeat)
    else:
        print("state + county + quadrangle: the library has no batch lookup yet")
    case_by_name(args.repeat)


if __name__ == "__main__":
    main()
