"""Times the QGIS plugin's "Add location fields" beside QGIS's own spatial join
(native:joinattributesbylocation against a county layer, then a quadrangle layer) on the same
points in one headless QGIS, and checks that both name the same county and quadrangle.

    python bench/qgis_bench.py [--points N] [--repeat R]

Run it with an interpreter that has lantrel installed (see docs/python.md) and Debian's
python3-qgis. The polygon layers are the data file's sources (LANTREL_DATA_SOURCES, else the
repository's data/): the Census county outlines and the USGS quadrangle index.
"""

import argparse
import csv
import os
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.abspath(os.environ.get("LANTREL_DATA_SOURCES", os.path.join(HERE, "..", "data")))
sys.path.insert(0, os.path.join(HERE, "..", "qgis"))
sys.path.append("/usr/share/qgis/python/plugins")
scratch = tempfile.mkdtemp(prefix="lantrel-qgis-bench-")
os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
os.environ["HOME"] = scratch
os.environ.setdefault("XDG_RUNTIME_DIR", scratch)

import numpy as np  # noqa: E402
from qgis.core import (QgsApplication, QgsFeature, QgsFeatureRequest, QgsGeometry,  # noqa: E402
                       QgsPointXY,
                       QgsProcessingContext, QgsProcessingFeedback, QgsRectangle,
                       QgsVectorLayer)

app = QgsApplication([], False)
app.setPrefixPath("/usr", True)
app.initQgis()
from processing.core.Processing import Processing  # noqa: E402

Processing.initialize()
import processing  # noqa: E402
from lantrel_qgis.provider import LantrelProvider  # noqa: E402

PROVIDER = LantrelProvider()  # kept: the registry does not own a Python provider
QgsApplication.processingRegistry().addProvider(PROVIDER)


def memory_layer(uri, features):
    layer = QgsVectorLayer(uri, "layer", "memory")
    layer.dataProvider().addFeatures(features)
    return layer


def points(n, seed=20):
    rng = np.random.default_rng(seed)
    lon = rng.uniform(-89.4, -82.1, n)
    lat = rng.uniform(36.55, 39.1, n)
    layer = QgsVectorLayer("Point?crs=EPSG:4269&field=id:integer", "points", "memory")
    fields = layer.fields()
    features = []
    for i, (x, y) in enumerate(zip(lon.tolist(), lat.tolist())):
        f = QgsFeature(fields)
        f.setAttributes([i])
        f.setGeometry(QgsGeometry.fromPointXY(QgsPointXY(x, y)))
        features.append(f)
    layer.dataProvider().addFeatures(features)
    return layer


def quads():
    layer = QgsVectorLayer("Polygon?crs=EPSG:4269&field=quad_name:string&field=quad_tile_j:string",
                           "quads", "memory")
    features = []
    with open(os.path.join(SOURCES, "quads", "quads.csv"), encoding="utf-8") as f:
        for row in csv.DictReader(f):
            g = QgsFeature(layer.fields())
            g.setAttributes([row["name"], row["tile"]])
            g.setGeometry(QgsGeometry.fromRect(QgsRectangle(
                -float(row["west_west"]), float(row["south"]), -float(row["east_west"]),
                float(row["north"]))))
            features.append(g)
    layer.dataProvider().addFeatures(features)
    return layer


def run(algorithm, parameters):
    context = QgsProcessingContext()
    result = processing.run(algorithm, dict(parameters, OUTPUT="memory:"), context=context,
                            feedback=QgsProcessingFeedback())
    out = result["OUTPUT"]
    return context.takeResultLayer(out) if isinstance(out, str) else out


def timed(work, repeat):
    times, result = [], None
    for _ in range(repeat):
        start = time.perf_counter()
        result = work()
        times.append(time.perf_counter() - start)
    return statistics.median(times), result


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--points", type=int, default=100_000)
    parser.add_argument("--repeat", type=int, default=3)
    args = parser.parse_args()
    layer = points(args.points)
    source = QgsVectorLayer(os.path.join(SOURCES, "boundaries", "ky-counties-500k.geojson"),
                            "counties", "ogr")
    assert source.isValid()
    counties = source.materialize(QgsFeatureRequest())  # in memory: the peer's fastest case
    quad_layer = quads()
    assert quad_layer.featureCount() > 0

    ours_s, ours = timed(lambda: run("lantrel:addlocationfields", {"INPUT": layer}), args.repeat)

    def join():
        first = run("native:joinattributesbylocation", {
            "INPUT": layer, "JOIN": counties, "PREDICATE": [0], "JOIN_FIELDS": ["NAME"],
            "METHOD": 1, "DISCARD_NONMATCHING": False, "PREFIX": "county_"})
        return run("native:joinattributesbylocation", {
            "INPUT": first, "JOIN": quad_layer, "PREDICATE": [0], "JOIN_FIELDS": ["quad_name"],
            "METHOD": 1, "DISCARD_NONMATCHING": False, "PREFIX": ""})

    peer_s, peer = timed(join, args.repeat)

    mine = {f["id"]: (f["county"] or None, f["quad"] or None) for f in ours.getFeatures()}
    theirs = {f["id"]: (f["county_NAME"] or None, f["quad_name"] or None)
              for f in peer.getFeatures()}
    single = {f["id"] for f in ours.getFeatures()
              if f["county_count"] <= 1 and f["quad_count"] <= 1}
    same_county = sum(mine[i][0] == theirs[i][0] for i in mine)
    same_quad = sum(mine[i][1] == theirs[i][1] for i in mine)
    differ_single = sum(mine[i] != theirs[i] for i in single)
    n = args.points
    print(f"{n} points over Kentucky, medians of {args.repeat} runs, one headless QGIS")
    for name, seconds in (("lantrel:addlocationfields", ours_s),
                          ("native:joinattributesbylocation x 2", peer_s)):
        print(f"{name:<38} {seconds:8.3f} s  ({seconds / n * 1e6:7.2f} us/pt)")
    print(f"speed-up                               {peer_s / ours_s:8.1f} x")
    print(f"same county {same_county}/{n}, same quadrangle {same_quad}/{n}; "
          f"points inside one county and one quadrangle that differ: {differ_single}")
    return 0 if differ_single == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
