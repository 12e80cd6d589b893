"""Carter locations as arrays against a position converting each point, and read back."""

import math

import numpy as np
import pytest
from hypothesis import given, settings, strategies as st

import lantrel
from conftest import D, P, U, same_bits

# Across the grid, its edges, 5' block lines, and outside it.
LON = [-85.4321, 85.4321, -81.91666666666667, -89.58333333333333, -85.0, -84.5, -81.9, -89.6,
       -85.0, -85.0, -83.25] + [-(81.92 + 7.66 * ((i * 37) % 60) / 60.0) for i in range(60)]
LAT = [37.1234, 37.1234, 36.5, 39.25, 38.0, 37.75, 37.0, 37.0, 39.3, 36.49, 38.999999999999] + \
      [36.5 + 2.75 * i / 60.0 for i in range(60)]


def position_location(lon, lat, datum, zgs):
    with lantrel.ZrGeoPosition() as p:
        p.Datum = datum
        p.x, p.y = lon, lat
        p.Convert(datum, P.zrCarter, U.zrDecimalDegrees)
        return p.Carter.LocationString(zgs) or None


@pytest.mark.parametrize("datum", list(D))
@pytest.mark.parametrize("zgs", [False, True])
def test_locations_equal_the_positions(datum, zgs):
    got = lantrel.to_carter(LON, LAT, datum=datum, zgs=zgs)
    assert got.dtype == object and got.shape == (len(LON),)
    expected = [position_location(x, y, datum, zgs) for x, y in zip(LON, LAT)]
    assert list(got) == expected
    assert sum(e is None for e in expected) == 4


def half_away(v):
    return math.floor(abs(v) + 0.5) * (1 if v >= 0 else -1)


def position_reads(lon, lat, datum):
    """The location a position gives the point, with its footages rounded as the text writes
    them, filled into a new position and converted to geographic."""
    with lantrel.ZrGeoPosition() as p:
        p.Datum = datum
        p.x, p.y = lon, lat
        p.Convert(datum, P.zrCarter, U.zrDecimalDegrees)
        c = p.Carter
        if not c.Letter:
            return None
        parts = (c.Letter, c.Number, c.Section, c.FNSL, half_away(c.FNL if c.FNSL == "FNL"
                 else c.FSL), c.FEWL, half_away(c.FEL if c.FEWL == "FEL" else c.FWL))
    with lantrel.ZrGeoPosition() as q:
        q.Projection = P.zrCarter
        q.Datum = datum
        c = q.Carter
        letter, number, section, ns, ns_feet, ew, ew_feet = parts
        c.Letter = "033" if letter == "HH" else letter
        c.Number, c.Section = number, section
        setattr(c, ns, float(ns_feet))
        setattr(c, ew, float(ew_feet))
        q.Convert(datum, P.zrGeographic, U.zrDecimalDegrees)
        return q.x, q.y


@pytest.mark.parametrize("datum", ["nad83", "NAD27", 0, D.zrNAD27, "zrNAD83"])
def test_reading_back_gives_the_positions_point(datum):
    d = lantrel._systems.parse_datum(datum)
    texts = lantrel.to_carter(LON, LAT, datum=d)
    keep = [i for i, t in enumerate(texts) if t is not None]
    lon, lat = lantrel.from_carter(texts[keep], datum=datum, west_positive=True)
    for j, i in enumerate(keep):
        x, y = position_reads(LON[i], LAT[i], d)
        assert same_bits(lon[j], x) and same_bits(lat[j], y), texts[i]


def test_both_layouts_read_as_the_same_point():
    default = lantrel.to_carter(LON, LAT)
    zgs = lantrel.to_carter(LON, LAT, zgs=True)
    keep = [i for i, t in enumerate(default) if t is not None]
    a = lantrel.from_carter(default[keep])
    b = lantrel.from_carter(zgs[keep])
    assert same_bits(a[0], b[0]) and same_bits(a[1], b[1])


@settings(max_examples=300, deadline=None)
@given(st.floats(81.92, 89.58), st.floats(36.5, 39.2499), st.sampled_from([0, 1]))
def test_round_trip_within_the_rounding_of_a_foot(lon, lat, datum):
    text = lantrel.to_carter(-lon, lat, datum=datum)
    assert text is not None
    x, y = lantrel.from_carter(text, datum=datum)
    # half a foot in each call is under 2e-6 degree
    assert abs(x + lon) < 2e-6 and abs(y - lat) < 2e-6


def test_scalars_and_shapes():
    assert lantrel.to_carter(-85.4321, 37.1234, datum="nad83") == "H49-11 2452-FSL 360-FWL"
    assert lantrel.to_carter(-80.0, 37.0) is None
    grid = lantrel.to_carter(np.full((2, 3), -85.4321), np.full((2, 3), 37.1234))
    assert grid.shape == (2, 3)
    x, y = lantrel.from_carter("H49-11 2452-FSL 360-FWL")
    assert type(x) is float and x < 0
    lon, lat = lantrel.from_carter(np.array([], dtype=object))
    assert lon.shape == (0,)
    assert lantrel.to_carter([], []).shape == (0,)


@pytest.mark.parametrize("text,number", [
    ("D45-07 1200-FNL", 5), ("D93-07 1200-FNL 350-FWL", lantrel.E_INVALID_CARTER_NUMBER),
    ("D45-26 1200-FNL 350-FWL", lantrel.E_INVALID_CARTER_SECTION),
    ("HI45-07 1200-FNL 350-FWL", lantrel.E_INVALID_CARTER_LETTER),
    ("D45-07 1200-FNL 350-FWL and more", 5), ("", 5), ("D45-07 1200-FNL\x00 350-FWL", 5),
])
def test_bad_texts_fail_alone(text, number):
    good = "D45-07 1200-FNL 350-FWL"
    lon, lat = lantrel.from_carter([good, text, good])
    assert not math.isnan(lon[0]) and math.isnan(lon[1]) and math.isnan(lat[1])
    assert lon[2] == lon[0]
    with pytest.raises(lantrel.Error) as e:
        lantrel.from_carter([good, text], errcheck=True)
    assert (e.value.number, e.value.index) == (number, 1)


def test_missing_values_fail_and_non_text_is_refused():
    lon, _ = lantrel.from_carter(["D45-07 1200-FNL 350-FWL", None, float("nan")])
    assert np.isnan(lon[1:]).all()
    with pytest.raises(TypeError):
        lantrel.from_carter([12.5])
    with pytest.raises(TypeError):
        lantrel.to_carter(["-85"], [37.0])


@pytest.mark.parametrize("lon,lat", [(-85.0, 91.0), (math.nan, 37.0), (-181.0, 37.0),
                                     (math.inf, 37.0), (-85.0, math.nan)])
def test_out_of_range_points_fail_with_the_reason(lon, lat):
    assert lantrel.to_carter([lon], [lat])[0] is None
    with pytest.raises(lantrel.Error) as e:
        lantrel.to_carter([-85.4321, lon], [37.1234, lat], errcheck=True)
    assert (e.value.number, e.value.index) == (5, 1)
    assert "out of range" in e.value.description


@pytest.mark.parametrize("datum", ["nad84", 2, "geo/nad83", True, None])
def test_bad_datums_are_refused(datum):
    with pytest.raises((lantrel.Error, TypeError)):
        lantrel.to_carter([-85.0], [37.0], datum=datum)
