"""The one error model of the array calls: each failed point's number, source and description
come from the same library call (no position re-runs the point), errcheck raises the first of
them, and return_errors gives them all as arrays of the input's shape."""

import math

import numpy as np
import pytest

import lantrel

LON = np.array([[-84.5, math.nan], [-95.0, -85.4321]])
LAT = np.array([[38.0, 37.0], [30.0, 37.1234]])

CALLS = [
    ("transform", lambda **k: lantrel.Transformer("geo/nad27", "north/nad83/usft").transform(
        LON, LAT, **k), (0, 1), 5),
    ("transform, shift refused", lambda **k: lantrel.Transformer("geo/nad27", "geo").transform(
        LON, LAT, **k), (1, 0), 4),
    ("factors", lambda **k: lantrel.factors(LON, LAT, "geo", **k), (0, 1), 5),
    ("to_carter", lambda **k: lantrel.to_carter(LON, LAT, **k), (1, 0), 5),
    ("from_carter", lambda **k: lantrel.from_carter(
        np.array([["D45-07 1200-FNL 350-FWL", "D45-26 1200-FNL 350-FWL"],
                  ["D93-07 1200-FNL 350-FWL", "D45-07"]]), **k), (0, 1),
     lantrel.E_INVALID_CARTER_SECTION),
    ("locate", lambda **k: lantrel.locate(LON.reshape(-1), LAT.reshape(-1), **k), (1,), 5),
]


@pytest.mark.parametrize("name,call,where,number", CALLS, ids=[c[0] for c in CALLS])
def test_errors_come_from_the_same_call(name, call, where, number, monkeypatch):
    def no_positions(*args, **kwargs):
        raise AssertionError("an array call re-ran a point through a position")
    monkeypatch.setattr(lantrel.ZrGeoPosition, "__init__", no_positions)

    *results, errors = call(return_errors=True)
    assert isinstance(errors, lantrel.ArrayErrors)
    first = results[0]
    shape = np.shape(first) if name != "locate" else (len(first),)
    assert errors.number.shape == errors.source.shape == errors.description.shape == shape
    failed = errors.number != 0
    if name == "locate":
        assert list(first.status) == list(errors.number)
    else:
        values = np.asarray(first, dtype=object)
        missing = np.array([v is None or (isinstance(v, float) and math.isnan(v))
                            for v in values.reshape(-1)]).reshape(shape)
        assert (missing == failed).all()
    assert all(errors.source[failed]) and all(errors.description[failed])
    assert not any(errors.source[~failed]) and not any(errors.description[~failed])
    assert errors.number[where] == number

    with pytest.raises(lantrel.Error) as raised:
        call(errcheck=True)
    expected = errors.first()
    assert (raised.value.number, raised.value.source, raised.value.description,
            raised.value.index) == (expected.number, expected.source, expected.description,
                                    expected.index)
