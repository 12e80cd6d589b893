"""lantrel.Transformer against a position converting point by point, bit for bit; its texts,
refusals and hostile inputs; pickling and round trips."""

import math
import pickle

import numpy as np
import pytest
from hypothesis import assume, given, settings, strategies as st

import lantrel
from conftest import D, P, SYSTEMS, U, needs, points_in, position_convert, same_bits

pytestmark = needs("lantrel_transformer_create")

GEO83 = lantrel.System(P.zrGeographic, D.zrNAD83, U.zrDecimalDegrees)
NORTH27 = lantrel.System(P.zrNorthZone, D.zrNAD27, U.zrUSFt)
TARGETS = [GEO83, lantrel.System(P.zrGeographic, D.zrNAD27, U.zrDecimalDegrees), NORTH27,
           lantrel.System(P.zrUTM16, D.zrNAD83, U.zrMeters),
           lantrel.System(P.tnSingleZone, D.zrNAD83, U.zrIntlFt)]
# Values every system must survive: the window edges come from points_in, these are raw.
RAW = [(0.0, 0.0), (math.nan, 1.0), (1.0, math.nan), (math.inf, 0.0), (-math.inf, 1e6),
       (1e308, 1e308), (-1e308, -1e308), (5e-324, -5e-324)]


def check_against_positions(src, dst, xs, ys, west_positive=False):
    t = lantrel.Transformer(src, dst, west_positive=west_positive)
    out_x, out_y = t.transform(xs, ys)
    for i, (x, y) in enumerate(zip(xs, ys)):
        ex, ey, status = position_convert(src, dst, float(x), float(y), west_positive)
        assert same_bits(out_x[i], ex) and same_bits(out_y[i], ey), (src, dst, x, y, status)
        assert math.isnan(out_x[i]) == (status != 0)


@pytest.mark.parametrize("src", SYSTEMS, ids=lambda s: s.text())
def test_every_source_system_matches_the_position(src):
    xs, ys = points_in(src)
    xs = np.concatenate([xs, [r[0] for r in RAW]])
    ys = np.concatenate([ys, [r[1] for r in RAW]])
    for dst in TARGETS:
        check_against_positions(src, dst, xs, ys)


@pytest.mark.parametrize("dst", SYSTEMS, ids=lambda s: s.text())
def test_every_target_system_matches_the_position(dst):
    for src in (GEO83, NORTH27):
        xs, ys = points_in(src)
        check_against_positions(src, dst, xs, ys)
        check_against_positions(src, dst, xs, ys, west_positive=True)


@pytest.mark.parametrize("src,dst,x,y,expected", [
    ("geo", "EPSG:2246", -84.8733, 38.2009, None),
    ("EPSG:4269", "north/nad83/usft", 84.8733, 38.2009, None),
    ("1/1/1", "utm16/nad83/m", 1_640_416.67, 328_083.33, None),
    ("zrNorthZone/zrNAD27/zrUSFt", "EPSG:26916", 1_640_416.67, 328_083.33, None),
])
def test_texts_name_the_systems_the_tool_names(src, dst, x, y, expected):
    t = lantrel.Transformer(src, dst)
    s, d = lantrel.parse_system(src), lantrel.parse_system(dst)
    ex, ey, status = position_convert(s, d, x, y)
    assert status == 0
    assert t.transform(x, y) == (ex, ey)


@pytest.mark.parametrize("src,dst,reason", [
    ("single/nad27", "geo", "single zone exists on NAD 83 only"),
    ("geo/nad83/m", "geo", "always in decimal degrees"),
    ("geo", "north/nad83/deg", "plane coordinates need a linear unit"),
    ("geo", "EPSG:3857", "is not one of the EPSG codes lantrel serves"),
    ("mars", "geo", "is not a projection"),
])
def test_refused_texts_give_the_tools_reason(src, dst, reason):
    with pytest.raises(lantrel.Error) as e:
        lantrel.Transformer(src, dst)
    assert e.value.number == 5 and reason in e.value.description


@pytest.mark.parametrize("src,dst", [("carter", "geo"), ("geo", "carter/nad27")])
def test_the_carter_system_is_refused(src, dst):
    with pytest.raises(lantrel.Error) as e:
        lantrel.Transformer(src, dst)
    assert e.value.number in (5, 6)


def test_scalars_give_floats_and_arrays_keep_their_shape():
    t = lantrel.Transformer("geo", "north")
    x, y = t.transform(-84.5, 38)
    assert type(x) is float and type(y) is float
    grid_x = np.full((3, 4), -84.5)
    grid_y = np.linspace(37.5, 38.5, 12).reshape(3, 4)
    gx, gy = t.transform(grid_x, grid_y)
    assert gx.shape == gy.shape == (3, 4) and gx.dtype == np.float64
    fx, fy = t.transform(grid_x.ravel(), grid_y.ravel())
    assert same_bits(gx.ravel(), fx) and same_bits(gy.ravel(), fy)


def test_lists_integers_non_contiguous_and_float32_read_as_their_values():
    t = lantrel.Transformer("north/nad27/usft", "utm16")
    base_x = np.array([1_600_000.0, 1_700_000.0, 2_000_000.0])
    base_y = np.array([200_000.0, 300_000.0, 250_000.0])
    want = t.transform(base_x, base_y)
    wide = np.zeros((3, 2))
    wide[:, 0] = base_x
    for xs in ([1_600_000, 1_700_000, 2_000_000], base_x.astype(np.int64),
               base_x.astype(np.uint32), wide[:, 0], base_x.astype(np.float32)):
        got = t.transform(xs, base_y)
        assert same_bits(got[0], want[0]) and same_bits(got[1], want[1]), type(xs)
    assert not wide[:, 0].flags.c_contiguous


def test_empty_arrays_give_empty_arrays():
    x, y = lantrel.Transformer("geo", "north").transform(np.array([]), [])
    assert x.shape == y.shape == (0,) and x.dtype == np.float64


@pytest.mark.parametrize("x,y,error", [
    ("84.5", 38.0, TypeError), (["84.5"], [38.0], TypeError), ([True], [38.0], TypeError),
    ([1 + 2j], [38.0], TypeError), ([object()], [1.0], TypeError),
    ([1.0, 2.0], [1.0], ValueError), (np.zeros((2, 2)), np.zeros(4), ValueError),
    (np.array(["a"]), np.array([1.0]), TypeError),
])
def test_hostile_inputs_give_clear_errors(x, y, error):
    with pytest.raises(error):
        lantrel.Transformer("geo", "north").transform(x, y)


def test_failed_points_are_nan_and_errcheck_names_the_first():
    t = lantrel.Transformer("north/nad27/usft", "utm16/nad83/m")
    xs = [1_640_416.67, math.nan, 9e6, math.inf]
    ys = [328_083.33, 300_000.0, 9e6, 1.0]
    out_x, out_y = t.transform(xs, ys)
    assert not math.isnan(out_x[0])
    assert np.isnan(out_x[1:]).all() and np.isnan(out_y[1:]).all()
    with pytest.raises(lantrel.Error) as e:
        t.transform(xs, ys, errcheck=True)
    assert e.value.index == 1
    _, _, status = position_convert(t.src, t.dst, xs[1], ys[1])
    assert e.value.number == status and e.value.description


def test_a_refused_datum_change_reports_four():
    t = lantrel.Transformer("geo/nad27", "geo/nad83")
    out_x, _ = t.transform([-95.0], [30.0])
    assert math.isnan(out_x[0])
    with pytest.raises(lantrel.Error) as e:
        t.transform([-84.5, -95.0], [38.0, 30.0], errcheck=True)
    assert (e.value.number, e.value.index) == (4, 1)
    assert "shift window" in e.value.description


def test_object_columns_with_missing_values_read_as_nan():
    t = lantrel.Transformer("geo", "north")
    x, _ = t.transform(np.array([-84.5, None], dtype=object), [38.0, 38.0])
    assert not math.isnan(x[0]) and math.isnan(x[1])


def test_pickled_transformers_convert_alike():
    for t in (lantrel.Transformer("geo", "EPSG:2246"),
              lantrel.Transformer("north/nad27/usft", "geo", west_positive=True)):
        back = pickle.loads(pickle.dumps(t))
        assert (back.src, back.dst, back.west_positive) == (t.src, t.dst, t.west_positive)
        xs, ys = np.array([1_600_000.0, -84.5]), np.array([250_000.0, 38.0])
        assert all(same_bits(a, b) for a, b in zip(back.transform(xs, ys), t.transform(xs, ys)))
        assert repr(back) == repr(t)


def test_west_positive_sets_the_sign_of_output_longitudes():
    west = lantrel.Transformer("north", "geo", west_positive=True).transform(1.6e6, 2.5e5)
    east = lantrel.Transformer("north", "geo").transform(1.6e6, 2.5e5)
    assert west[0] > 0 and east[0] == -west[0] and west[1] == east[1]


@settings(max_examples=200, deadline=None)
@given(st.floats(81.6, 89.9), st.floats(36.1, 39.4), st.sampled_from(["north", "south", "utm16",
                                                                       "utm17", "tn", "in-east"]))
def test_geographic_round_trips_through_a_plane_zone(lon, lat, zone):
    there = lantrel.Transformer("geo", zone)
    back = lantrel.Transformer(zone, "geo")
    x, y = there.transform(-lon, lat)
    # A position keeps eastings as magnitudes: a negative one cannot come back.
    assume(x >= 0)
    lon2, lat2 = back.transform(x, y)
    assert abs(lon2 + lon) < 1e-8 and abs(lat2 - lat) < 1e-8


@settings(max_examples=100, deadline=None)
@given(st.floats(81.6, 89.9), st.floats(36.1, 39.4))
def test_datum_round_trip_inside_the_window(lon, lat):
    x, y = lantrel.Transformer("geo/nad27", "geo/nad83").transform(-lon, lat)
    lon2, lat2 = lantrel.Transformer("geo/nad83", "geo/nad27").transform(x, y)
    assert abs(lon2 + lon) < 1e-6 and abs(lat2 - lat) < 1e-6


def test_one_transformer_serves_several_threads_alike():
    from concurrent.futures import ThreadPoolExecutor
    t = lantrel.Transformer("north/nad27/usft", "utm16/nad83/m")
    rng = np.random.default_rng(5)
    parts = [(rng.uniform(1.4e6, 2.2e6, 20_000), rng.uniform(1.5e5, 4.5e5, 20_000))
             for _ in range(8)]
    alone = [t.transform(x, y) for x, y in parts]
    with ThreadPoolExecutor(4) as pool:
        together = list(pool.map(lambda p: t.transform(*p), parts))
    assert all(same_bits(a[0], b[0]) and same_bits(a[1], b[1]) for a, b in zip(alone, together))
