"""What no face may report as a success: points beyond the globe, implausible pairs, handles
shared by copies; and the conventions users join and name by (FIPS text, Carter on NAD 27,
EPSG:4326, column names)."""

import copy
import math
import pickle
import subprocess
import sys

import numpy as np
import pandas
import pytest

import lantrel
from conftest import needs

pytestmark = [needs("lantrel_region_check"), needs("lantrel_locator_create")]

RANGE = "lantrel:Transformer:"


@pytest.mark.parametrize("src,dst,x,y,kwargs,number,description", [
    # swapped latitude and longitude: converts unless the region is judged
    ("geo", "north", 38.2009, -84.8733, {}, 0, None),
    ("geo", "north", 38.2009, -84.8733, {"check_region": True}, 5,
     "the point at longitude -38.2009, latitude -84.8733 lies far outside the served region "
     "(73-98 W, 33-45 N); x and y may be swapped; check_region=False takes it"),
    ("geo", "north", -120.0, 45.0, {"check_region": True}, 5,
     "the point at longitude -120, latitude 45 lies far outside the served region "
     "(73-98 W, 33-45 N); check_region=False takes it"),
    ("geo", "north", -84.8733, 100.0, {}, 5, "latitude 100 is outside -90 to 90 degrees"),
    ("geo", "north", 180.1, 37.0, {}, 5, "longitude 180.1 is outside -180 to 180 degrees"),
    ("geo", "utm16", 1e308, 37.0, {}, 5, "longitude 1e+308 is outside -180 to 180 degrees"),
    ("geo", "geo/nad27", -85.0, math.nan, {}, 5, "latitude nan is not a number"),
    ("north", "geo", 1_640_416.67, 328_083.33, {"check_region": True}, 0, None),
])
def test_impossible_and_implausible_points_fail(src, dst, x, y, kwargs, number, description):
    t = lantrel.Transformer(src, dst)
    out = t.transform([x], [y], **kwargs)
    assert np.isnan(out[0][0]) == (number != 0)
    if number:
        with pytest.raises(lantrel.Error) as e:
            t.transform([-84.5, x], [38.0, y], errcheck=True, **kwargs)
        assert (e.value.number, e.value.description, e.value.index) == (number, description, 1)


@pytest.mark.parametrize("x,y,system,status", [
    (math.nan, 38.0, "geo", 5), (-84.5, 91.0, "geo", 5), (-84.5, 38.0, "geo", 0),
    (1_640_416.67, 328_083.33, "north", 0),
])
def test_factors_give_a_status_for_points_beyond_the_globe(x, y, system, status):
    k, gamma = lantrel.factors([x], [y], system)
    assert math.isnan(k[0]) == bool(status)


def test_carter_texts_report_each_failure_with_its_message():
    texts = ["D45-07 1200-FNL 350-FWL", "garbage", "D45-07 99999999-FNL 350-FWL", None]
    lon, lat, errors = lantrel.from_carter(texts, return_errors=True)
    status, message = errors.number, errors.description
    assert not math.isnan(lon[0]) and np.isnan(lon[1:]).all()
    assert list(status) == [0, 5, 5, 5]
    assert message[0] == "" and all(message[1:])
    assert message[2].startswith("latitude -") and "outside -90 to 90 degrees" in message[2]


def test_carter_is_on_nad27_unless_named():
    bare, named = lantrel.parse_system("carter"), lantrel.parse_system("carter/nad83")
    assert (bare.datum, named.datum) == (lantrel.zrGeoDatum.zrNAD27, lantrel.zrGeoDatum.zrNAD83)
    text = "D45-07 1200-FNL 350-FWL"
    assert lantrel.from_carter(text) == lantrel.from_carter(text, datum="nad27")


@pytest.mark.parametrize("given,epsg", [
    ("EPSG:4326", 4326), ("OGC:CRS84", 4326), (4326, 4326), (2246, 2246), (np.int64(4269), 4269),
])
def test_wgs84_codes_and_integers_name_systems(given, epsg):
    s = lantrel.parse_system(given)
    assert s.epsg == epsg
    if epsg in (4326, 4269):
        assert (s.projection, s.datum) == (lantrel.zrGeoProjection.zrGeographic,
                                           lantrel.zrGeoDatum.zrNAD83)


def test_crs_objects_name_systems():
    pyproj = pytest.importorskip("pyproj")
    assert lantrel.parse_system(pyproj.CRS("EPSG:2246")).epsg == 2246
    assert lantrel.parse_system(pyproj.CRS("OGC:CRS84")).epsg == 4326
    with pytest.raises(lantrel.Error):
        lantrel.parse_system(pyproj.CRS("EPSG:3857"))


def test_locate_writes_fips_codes_as_text_and_gives_nan_its_status():
    frame = lantrel.locate([-85.1, -84.8733, math.nan], [36.75, 38.2009, 38.0])
    assert list(frame.county) == ["Clinton", "Franklin", ""]
    assert list(frame.state_fips) == ["21", "21", ""]
    assert list(frame.county_fips) == ["053", "073", ""]
    assert list(frame.geoid) == ["21053", "21073", ""]
    assert list(frame.status) == [0, 0, 5]


def test_copies_and_pickles_of_handles_are_refused():
    p = lantrel.ZrGeoPosition()
    p.x, p.y = 84.8733, 38.2009
    for attempt in (copy.copy, copy.deepcopy, pickle.dumps, lambda o: copy.copy(o.Carter)):
        with pytest.raises(TypeError, match="cannot be copied or pickled"):
            attempt(p)
    assert p.x == 84.8733  # the handle is still the position's own
    # A copy used to share the handle: released twice, then read freed memory. In a fresh
    # interpreter the refused copy leaves the process sound to its end.
    code = ("import copy, lantrel\n"
            "p = lantrel.ZrGeoPosition()\n"
            "try:\n    copy.copy(p)\nexcept TypeError:\n    pass\n"
            "del p\nq = lantrel.ZrGeoPosition(); q.x = 85.0; print(q.x)\n")
    run = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True)
    assert (run.returncode, run.stdout) == (0, "85.0\n"), run.stderr


def test_frame_helpers_keep_user_columns_and_name_converted_ones():
    wells = pandas.DataFrame({"Longitude": [-84.8733, 38.2009], "Latitude": [38.2009, -84.8733],
                              "status": ["active", "plugged"]})
    out = lantrel.convert_frame(wells, "geo", "north", x="Longitude", y="Latitude")
    assert list(out.columns) == ["x", "y", "status"]
    assert not math.isnan(out.x[0]) and math.isnan(out.x[1])  # the swapped pair fails
    assert not math.isnan(lantrel.convert_frame(wells, "geo", "north", x="Longitude",
                                                y="Latitude", accept_distant=True).x[1])
    with pytest.raises(ValueError, match="out_x and out_y"):
        lantrel.convert_frame(wells, "geo", "north", x="Longitude", y="Latitude",
                              out_x="e", out_y="e")
    located = lantrel.annotate_frame(wells, lon="Longitude", lat="Latitude")
    assert list(located.status) == ["active", "plugged"]
    assert list(located.status_lantrel) == [0, 5]
    assert list(located.county) == ["Franklin", ""]


def test_to_system_keeps_heights():
    geopandas = pytest.importorskip("geopandas")
    layer = geopandas.GeoDataFrame(geometry=geopandas.points_from_xy([-84.8733], [38.2009],
                                                                     [212.5]), crs="EPSG:4326")
    out = lantrel.to_system(layer, "EPSG:2246")
    assert out.geometry.iloc[0].has_z and out.geometry.iloc[0].z == 212.5
