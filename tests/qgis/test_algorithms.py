"""Every algorithm of the lantrel provider on small GeoPackage, GeoJSON and CSV layers: results
equal the lantrel package's bit for bit; hostile features are kept, explained and counted."""

import json
import math

import numpy as np
import pytest

import lantrel
from conftest import FAR_POINT, KY_POINTS, rows, run, table, write_layer
from qgis.core import QgsGeometry, QgsPointXY, QgsRectangle, QgsVectorLayer, QgsWkbTypes


def points_of(layer):
    return [(f.geometry().asPoint().x(), f.geometry().asPoint().y()) for f in layer.getFeatures()]


def same(a, b):
    return a == b or (a != a and b != b)


@pytest.mark.parametrize("suffix,crs,source,target", [
    (".gpkg", "EPSG:4269", "", "north/nad27/usft"),
    (".geojson", "EPSG:4269", "", "EPSG:26916"),
    (".csv", "EPSG:4269", "geo", "south/nad83/m"),      # CSV keeps no CRS: the system is named
    (".gpkg", "EPSG:2246", "", "geo/nad27"),
])
def test_convert_equals_the_package(tmp_path, suffix, crs, source, target):
    if crs == "EPSG:4269":
        src_points = KY_POINTS
    else:
        x, y = lantrel.Transformer("geo", crs).transform(*zip(*KY_POINTS))
        src_points = list(zip(x.tolist(), y.tolist()))
    layer = write_layer(str(tmp_path / f"in{suffix}"), crs,
                        [(f"POINT({x!r} {y!r})", {"name": f"p{i}"})
                         for i, (x, y) in enumerate(src_points)])
    results, out, log = run("convertlayer", INPUT=layer, SOURCE_SYSTEM=source,
                            TARGET_SYSTEM=target)
    read_back = points_of(layer)
    ex, ey = lantrel.Transformer(source or crs, target).transform(*map(np.array, zip(*read_back)))
    got = points_of(out)
    assert got == list(zip(ex.tolist(), ey.tolist()))
    assert [r["name"] for r in rows(out)] == [f"p{i}" for i in range(len(src_points))]
    assert {r["lantrel_status"] for r in rows(out)} == {"ok"}
    code = lantrel.parse_system(target).epsg_code
    assert out.crs().authid() == (f"EPSG:{code}" if code else "")
    assert results["FAILED"] == 0 and f"{len(src_points)} feature(s) converted" in log


@pytest.mark.parametrize("suffix,kind,zm", [
    (".gpkg", "ZM", lambda i: f"{100.5 + i!r} {i / 4!r}"),
    (".geojson", "Z", lambda i: f"{-3.25 * i!r}"),
    (".gpkg", "M", lambda i: f"{i + 0.125!r}"),
])
def test_convert_keeps_z_and_m(tmp_path, suffix, kind, zm):
    layer = write_layer(str(tmp_path / f"zm{suffix}"), "EPSG:4269",
                        [(f"POINT {kind} ({x!r} {y!r} {zm(i)})", {"name": f"p{i}"})
                         for i, (x, y) in enumerate(KY_POINTS)])
    _, out, _ = run("convertlayer", INPUT=layer, TARGET_SYSTEM="north/nad27/usft")
    assert QgsWkbTypes.displayString(out.wkbType()) == f"Point{kind}"
    ex, ey = lantrel.Transformer("geo", "north/nad27/usft").transform(
        *map(np.array, zip(*points_of(layer))))
    for f_in, f_out, x, y in zip(layer.getFeatures(), out.getFeatures(), ex, ey):
        p_in, p_out = f_in.geometry().constGet(), f_out.geometry().constGet()
        assert (p_out.x(), p_out.y()) == (x, y)
        assert (p_out.is3D(), p_out.isMeasure()) == ("Z" in kind, "M" in kind)
        assert same(p_out.z(), p_in.z()) and same(p_out.m(), p_in.m())


HOSTILE = {"type": "FeatureCollection", "features": [
    {"type": "Feature", "properties": {"name": "good"},
     "geometry": {"type": "Point", "coordinates": list(KY_POINTS[0])}},
    {"type": "Feature", "properties": {"name": "null"}, "geometry": None},
    {"type": "Feature", "properties": {"name": "line"},
     "geometry": {"type": "LineString", "coordinates": [list(KY_POINTS[0]), list(KY_POINTS[1])]}},
    {"type": "Feature", "properties": {"name": "two"},
     "geometry": {"type": "MultiPoint", "coordinates": [list(KY_POINTS[0]), list(KY_POINTS[1])]}},
    {"type": "Feature", "properties": {"name": "one"},
     "geometry": {"type": "MultiPoint", "coordinates": [list(KY_POINTS[1])]}},
    {"type": "Feature", "properties": {"name": "far"},
     "geometry": {"type": "Point", "coordinates": list(FAR_POINT)}},
    {"type": "Feature", "properties": {"name": "pole"},
     "geometry": {"type": "Point", "coordinates": [-84.0, 95.0]}},
]}

# name -> the words the message must hold ("" for a converted feature), for a NAD 27 target.
HOSTILE_EXPECTED = {"good": "", "null": "no geometry", "line": "LineString",
                    "two": "multipoint of 2", "one": "", "far": "shift window",
                    "pole": "latitude 95 is outside -90 to 90"}


@pytest.fixture
def hostile(tmp_path):
    path = tmp_path / "hostile.geojson"
    path.write_text(json.dumps(HOSTILE))
    layer = QgsVectorLayer(str(path), "hostile", "ogr")
    assert layer.isValid() and layer.featureCount() == len(HOSTILE["features"])
    return layer


@pytest.mark.parametrize("algorithm,parameters", [
    ("convertlayer", {"SOURCE_SYSTEM": "geo", "TARGET_SYSTEM": "north/nad27/usft"}),
    ("addlocationfields", {"SOURCE_SYSTEM": "geo"}),
])
def test_hostile_features_are_kept_explained_and_counted(hostile, algorithm, parameters):
    results, out, log = run(algorithm, INPUT=hostile, **parameters)
    found = {r["name"]: r for r in rows(out)}
    assert set(found) == set(HOSTILE_EXPECTED)
    for name, words in HOSTILE_EXPECTED.items():
        if algorithm == "addlocationfields" and name == "far":
            words = ""  # outside every county is an answer, not a failure
        r = found[name]
        assert (r["lantrel_status"] == "ok") == (not words), (name, r["lantrel_message"])
        assert words in r["lantrel_message"], name
        if words and algorithm == "convertlayer":
            assert r["geometry"].isEmpty(), name
    failed = [r["lantrel_message"] for r in found.values() if r["lantrel_status"] == "failed"]
    assert len(failed) == results["FAILED"] and f"{len(failed)} kept without a result" in log
    assert all(f"1 x {message}" in log for message in failed), log


@pytest.mark.parametrize("algorithm", ["convertlayer", "addlocationfields"])
def test_an_unserved_crs_fails_every_feature_with_the_reason(tmp_path, algorithm):
    layer = write_layer(str(tmp_path / "mercator.gpkg"), "EPSG:3857",
                        [("POINT(-9447000 4605000)", {"name": "a"}),
                         ("POINT(-9400000 4600000)", {"name": "b"})])
    results, out, log = run(algorithm, INPUT=layer, TARGET_SYSTEM="utm16")
    assert [r["lantrel_status"] for r in rows(out)] == ["failed", "failed"]
    assert all("EPSG:3857" in r["lantrel_message"] for r in rows(out))
    assert results["FAILED"] == 2 and "2 kept without a result" in log


def test_a_carter_field_that_holds_no_text_is_named(tmp_path):
    layer = write_layer(str(tmp_path / "numbers.gpkg"), "EPSG:4267",
                        [("POINT(0 0)", {"n": 5}), ("POINT(0 0)", {"n": None})],
                        fields=(("n", "int"),))
    results, out, log = run("cartertopoints", INPUT=layer, FIELD="n")
    assert [r["lantrel_message"] for r in rows(out)] == [
        "the Carter location field holds 5, not a text", "the Carter location field is empty"]
    assert results["FAILED"] == 2 and "2 kept without a result" in log


def test_location_fields_equal_the_package(tmp_path):
    layer = write_layer(str(tmp_path / "wells.gpkg"), "EPSG:2246",
                        [(f"POINT({x!r} {y!r})", {"name": str(i)}) for i, (x, y) in enumerate(
                            zip(*lantrel.Transformer("geo", "EPSG:2246").transform(
                                *map(np.array, zip(*KY_POINTS)))))])
    _, out, _ = run("addlocationfields", INPUT=layer, ALL_SYSTEMS=True, FACTORS=True)
    xs, ys = map(np.array, zip(*points_of(layer)))
    lon, lat = lantrel.Transformer("EPSG:2246", "geo").transform(xs, ys)
    found = lantrel.locate(lon, lat)
    lon27, lat27 = lantrel.Transformer("EPSG:2246", "geo/nad27").transform(xs, ys)
    carter = lantrel.to_carter(lon27, lat27, datum="nad27")
    k, gamma = lantrel.factors(xs, ys, "EPSG:2246")
    u27x, u27y = lantrel.Transformer("EPSG:2246", "utm17/nad27/m").transform(xs, ys)
    for i, r in enumerate(rows(out)):
        for column in ("state", "state_fips", "county", "county_fips", "geoid", "sp_zone", "quad",
                       "quad_tile", "quad_state", "county_count", "quad_count"):
            assert r[column] == found[column].iat[i], (i, column)
        assert (r["carter"] or None) == carter[i]
        assert same(r["scale_factor"] or math.nan, k[i]) and same(r["convergence"] or math.nan,
                                                                    gamma[i])
        assert same(r["utm17_nad27_m_x"] or math.nan, u27x[i])
        assert same(r["utm17_nad27_m_y"] or math.nan, u27y[i])
    assert rows(out)[0]["county"] == "Franklin"


def test_carter_text_to_points_and_cells(tmp_path):
    lon27, lat27 = lantrel.Transformer("geo", "geo/nad27").transform(*map(np.array,
                                                                          zip(*KY_POINTS[:3])))
    full = list(lantrel.to_carter(lon27, lat27, datum="nad27"))
    zgs = lantrel.to_carter(lon27[0], lat27[0], datum="nad27", zgs=True)
    texts = full + [zgs, "D45", "d45-07", "hello", "Z99", "D45-26", ""]
    layer = table(str(tmp_path / "cards.csv"), ["id", "loc"], list(enumerate(texts)))
    results, out, log = run("cartertopoints", INPUT=layer, FIELD="loc", CELLS="memory:")
    got = rows(out)
    ex, ey = lantrel.from_carter(np.array(full + [zgs], dtype=object), datum="nad27")
    for i in range(4):
        p = got[i]["geometry"].asPoint()
        assert (p.x(), p.y()) == (ex[i], ey[i]) and got[i]["lantrel_status"] == "ok"
    assert [r["lantrel_status"] for r in got[4:]] == ["partial", "partial"] + ["failed"] * 4
    assert [r["carter_cell"] for r in got[4:6]] == ["D45", "D45-07"]
    assert "expected a Carter block" in got[6]["lantrel_message"]
    assert "outside 0 to 92" in got[7]["lantrel_message"]
    assert "outside 1 to 25" in got[8]["lantrel_message"]
    assert "empty" in got[9]["lantrel_message"]
    assert out.crs().authid() == "EPSG:4267" and results["FAILED"] == 4
    assert "4 kept without a result" in log and "1 x the Carter location field is empty" in log
    cells = results["CELLS"]
    cells = cells if not isinstance(cells, str) else QgsVectorLayer(cells, "c", "ogr")
    boxes = [f.geometry().boundingBox() for f in cells.getFeatures()]
    # D45: 36°45'-36°50' N, 89°35' - 45 x 5' = 85°50' to 85°45' W; its section 07 is the second
    # column of the second row from the north.
    expect = [QgsRectangle(-85.83333333333333, 36.75, -85.75, 36.833333333333336),
              QgsRectangle(-85.81666666666666, 36.8, -85.8, 36.81666666666667)]
    for box, e in zip(boxes, expect):
        assert all(abs(a - b) < 1e-12 for a, b in zip(
            (box.xMinimum(), box.yMinimum(), box.xMaximum(), box.yMaximum()),
            (e.xMinimum(), e.yMinimum(), e.xMaximum(), e.yMaximum())))
    centre = got[4]["geometry"].asPoint()
    assert abs(centre.x() + 85.79166666666667) < 1e-12
    assert abs(centre.y() - 36.791666666666664) < 1e-12


def test_text_coordinates_to_points(tmp_path):
    e, n = lantrel.Transformer("geo", "north/nad83/usft").transform(-84.8733, 38.2009)
    cases = [  # (system, x text, y text, expected point or the words of the failure)
        ("geo", "-84.8733", "38.2009", (-84.8733, 38.2009)),
        ("geo", "84d52'23.88\"W", "38°12′03.24″N", (-(84 + 52 / 60 + 23.88 / 3600),
                                                  38 + 12 / 60 + 3.24 / 3600)),
        ("geo", "84:52:23.88W", "N38 12 03.24", (-(84 + 52 / 60 + 23.88 / 3600),
                                                 38 + 12 / 60 + 3.24 / 3600)),
        ("geo", "84 52 23.88", "38.2", "hemisphere letter"),
        ("geo", "38.2N", "-84.87", "swapped"),
        ("geo", "84°61′W", "38.2", "minutes must be below 60"),
        ("geo", "nan", "38.2", "x: cannot read angle 'nan'"),
        ("geo", "", "38.2", "empty"),
        ("north/nad83/usft", repr(e), repr(n), (e, n)),
        ("north/nad83/usft", "1,640,416", "328083", "x: cannot read number '1,640,416'"),
    ]
    for system in {c[0] for c in cases}:
        mine = [c for c in cases if c[0] == system]
        layer = table(str(tmp_path / f"t{len(mine)}.csv"), ["x", "y"], [(c[1], c[2]) for c in mine])
        results, out, log = run("texttopoints", INPUT=layer, X_FIELD="x", Y_FIELD="y",
                                SYSTEM=system, TARGET_SYSTEM="")
        for case, r in zip(mine, rows(out)):
            if isinstance(case[3], tuple):
                assert r["lantrel_status"] == "ok", (case, r["lantrel_message"])
                p = r["geometry"].asPoint()
                assert (p.x(), p.y()) == case[3], case
            else:
                assert r["lantrel_status"] == "failed" and case[3] in r["lantrel_message"], \
                    (case, r["lantrel_message"])
                assert r["geometry"].isEmpty()
        failed = sum(isinstance(c[3], str) for c in mine)
        assert results["FAILED"] == failed and f"{failed} kept without a result" in log


@pytest.mark.parametrize("kind,extent,expected", [
    (0, "-85.82,-85.74,36.76,36.84 [EPSG:4267]", ["D45", "D46", "E45", "E46"]),
    (1, "-85.82,-85.80,36.80,36.81 [EPSG:4267]", ["D45-06", "D45-07"]),
    (2, "-84.95,-84.80,38.15,38.24 [EPSG:4269]", None),
    (3, "-84.56,-84.44,38.00,38.08 [EPSG:4269]", None),
])
def test_grid_layers(kind, extent, expected):
    results, out, _ = run("gridlayer", KIND=kind, EXTENT=extent)
    got = [r for r in rows(out)]
    if expected is not None:
        assert sorted(r["carter_cell"] for r in got) == expected
        return
    if kind == 3:
        # Lexington lies in Fayette County: its outline holds the point, as the lookup says.
        here = QgsGeometry.fromPointXY(QgsPointXY(-84.5, 38.05))
        holding = [r["county"] for r in got if r["geometry"].contains(here)]
        assert holding == list(lantrel.locate([-84.5], [38.05])["county"]) == ["Fayette"]
        return
    centres = [r["geometry"].centroid().asPoint() for r in got]
    found = lantrel.locate([c.x() for c in centres], [c.y() for c in centres])
    assert [r["quad"] for r in got] == list(found["quad"]) and len(got) == 2
    assert "Frankfort East" in [r["quad"] for r in got]
