"""Shared helpers of the Python package tests: the per-point answers of a position, which the
array functions must reproduce bit for bit."""

import math
import os

import numpy as np
import pytest

import lantrel
from lantrel import ZrGeoPosition, zrGeoDatum, zrGeoProjection, zrGeoUnits

P, D, U = zrGeoProjection, zrGeoDatum, zrGeoUnits

# Every system the library takes as a coordinate pair: Carter has none, the single zone exists
# on NAD 83 only, plane zones need a linear unit.
PLANE = [p for p in P if p not in (P.zrGeographic, P.zrCarter)]
LINEAR = [u for u in U if u != U.zrDecimalDegrees]
SYSTEMS = ([lantrel.System(P.zrGeographic, d, U.zrDecimalDegrees) for d in D] +
           [lantrel.System(p, d, u) for p in PLANE for d in D for u in LINEAR
            if not (p == P.zrSingleZone and d == D.zrNAD27)])

# Geographic points (west longitudes negative) across the served window, on its edges and
# outside it.
GEO_POINTS = [(-84.8733, 38.2009), (-85.4321, 37.1234), (-81.5, 36.0), (-90.0, 39.5),
              (-89.9, 36.1), (-82.0, 39.4), (-86.5, 37.75), (-83.25, 38.5), (-80.9, 37.2),
              (-91.0, 35.5), (-88.0, 40.2), (-84.0, 36.7)]


def needs(function):
    """Skips a test when the loaded library lacks one of the array functions."""
    return pytest.mark.skipif(not lantrel._native.has(function),
                              reason=f"the library has no {function}")


def position_in(system, x, y, west_positive=False):
    """A new position holding (x, y) in system, labelled in the order projection, datum,
    units, WestPositive, x, y."""
    p = ZrGeoPosition()
    p.Projection = system.projection
    p.Datum = system.datum
    p.Units = system.units
    p.WestPositive = west_positive
    p.x = x
    p.y = y
    return p


def position_convert(src, dst, x, y, west_positive=False):
    """(x, y, status) as a position converts one point; NaN and the error number on failure."""
    try:
        with position_in(src, x, y, west_positive) as p:
            result = p.Convert(dst.datum, dst.projection, dst.units)
            if result != 0:
                return math.nan, math.nan, result
            return p.x, p.y, 0
    except lantrel.Error as e:
        return math.nan, math.nan, e.number


def points_in(system, geo_points=GEO_POINTS):
    """The geographic points expressed in system (as a position converts them), failures
    dropped, plus a few raw values."""
    xs, ys = [], []
    src = lantrel.System(P.zrGeographic, system.datum, U.zrDecimalDegrees)
    for lon, lat in geo_points:
        x, y, status = position_convert(src, system, lon, lat)
        if status == 0:
            xs.append(x)
            ys.append(y)
    return np.array(xs), np.array(ys)


def same_bits(a, b):
    """Equal as float64 bit patterns, NaN equal to NaN."""
    a = np.asarray(a, dtype=np.float64)
    b = np.asarray(b, dtype=np.float64)
    both_nan = np.isnan(a) & np.isnan(b)
    return bool(np.all(both_nan | (a.view(np.int64) == b.view(np.int64))))


@pytest.fixture(scope="session")
def shared_data():
    folder = os.environ.get("LANTREL_DATA_SOURCES", os.path.join(
        os.path.dirname(__file__), "..", "..", "data"))
    return os.path.abspath(folder)
