"""Angles as text and the columns the frame helpers find by themselves, by the tool's rules."""

import numpy as np
import pandas
import pytest

import lantrel
from conftest import needs, same_bits

pytestmark = [needs("lantrel_angle_parse"), needs("lantrel_coordinate_columns")]

LON = -(84 + 52 / 60 + 23.88 / 3600)


@pytest.mark.parametrize("text,expected", [
    ("84°52′23.88″W", (LON, "W")),
    ("84 52 23.88 W", (LON, "W")),
    ("-84:52:23.88", (LON, "")),
    ("N38 12 3.24", (38 + 12 / 60 + 3.24 / 3600, "N")),
    ("  -84.8733 ", (-84.8733, "")),
    ("S 1:30", (-1.5, "S")),
    ("-84 52 23.88", "need a hemisphere letter"),
    ("N-38", "both a sign and a hemisphere letter"),
    ("84 60 W", "minutes must be below 60"),
    ("W84W", "two hemisphere letters"),
    ("84.5d30'W", "only the last"),
    ("84.5 30", "cannot read angle '84.5 30'"),
    ("84W\0 and more", "NUL"),
    ("inf", "cannot read angle 'inf'"),
])
def test_parse_angle_reads_what_the_tool_reads(text, expected):
    if isinstance(expected, str):
        with pytest.raises(lantrel.Error, match=expected) as e:
            lantrel.parse_angle(text)
        assert e.value.number == 5
    else:
        assert lantrel.parse_angle(text, hemisphere=True) == expected
        assert lantrel.parse_angle(text) == expected[0]


def test_format_dms_writes_what_the_tool_writes_and_reads_back():
    assert lantrel.format_dms(LON, longitude=True, decimals=2) == "84°52′23.88″W"
    assert lantrel.format_dms(37.99999999, decimals=3) == "38°00′00.000″N"
    for v in np.linspace(-89.9, 89.9, 37):
        assert abs(lantrel.parse_angle(lantrel.format_dms(v)) - v) <= 0.5e-5 / 3600 + 1e-12
    for bad in (float("nan"), float("inf"), 1e9):
        with pytest.raises(lantrel.Error):
            lantrel.format_dms(bad)
    with pytest.raises(lantrel.Error, match="decimals 13"):
        lantrel.format_dms(1.0, decimals=13)


def test_frames_find_their_coordinate_columns_and_judge_the_region():
    frame = pandas.DataFrame({"name": ["a", "b"], "Longitude": [-84.8733, 38.2009],
                              "LATITUDE": [38.2009, -84.8733]})
    # The second point is swapped: refused by default as the tool refuses it, taken on demand.
    out = lantrel.convert_frame(frame, "geo", "north", out_x="e", out_y="n")
    e, n = lantrel.Transformer("geo", "north").transform(frame.Longitude, frame.LATITUDE)
    assert same_bits(out.e[:1], e[:1]) and np.isnan(out.e[1])
    with pytest.raises(lantrel.Error, match="x and y may be swapped; accept_distant=True"):
        lantrel.convert_frame(frame, "geo", "north", errcheck=True)
    taken = lantrel.convert_frame(frame, "geo", "north", out_x="e", out_y="n",
                                  accept_distant=True)
    assert same_bits(taken.e, e)
    annotated = lantrel.annotate_frame(frame, carter=False)
    assert list(annotated.county[:1]) == ["Franklin"] and list(annotated.status) == [0, 5]
    plane = pandas.DataFrame({"easting": [1_640_416.67], "northing": [328_083.33]})
    assert lantrel.annotate_frame(plane, system="north", carter=False).status[0] == 0
    with pytest.raises(ValueError, match=r"no coordinate columns \(looked for x/y, lon/lat"):
        lantrel.convert_frame(pandas.DataFrame({"a": [1.0], "b": [2.0]}), "geo", "north")
