"""lantrel.locate against a position's lookups, point by point, over the whole window."""

import math
import os

import numpy as np
import pandas
import pytest

import lantrel
from conftest import D, needs

pytestmark = needs("lantrel_locator_create")

COLUMNS = ["state", "state_fips", "county", "county_fips", "geoid", "sp_zone", "quad",
           "quad_tile", "quad_state", "state_count", "county_count", "quad_count"]


def grid(n=1600, seed=7):
    rng = np.random.default_rng(seed)
    lon = -rng.uniform(81.0, 90.5, n)
    lat = rng.uniform(35.8, 39.8, n)
    return lon, lat


def _join(values):
    """The tool's join of a boundary point's areas: ';' before each further value once the
    field holds something."""
    field = ""
    for v in values:
        field = field + ";" + v if field else v
    return field


def position_row(lon, lat, datum):
    with lantrel.ZrGeoPosition() as p:
        p.Datum = datum
        p.x, p.y = lon, lat
        try:
            s, c, q = p.StateCount, p.CountyCount, p.QuadCount
        except lantrel.Error as e:
            return {"status": e.number}
        S, C, Q = range(s), range(c), range(q)
        return {"state_count": s, "county_count": c, "quad_count": q, "status": 0,
                "state": _join(p.StateName(i) for i in S),
                "state_fips": _join(f"{p.StateFIPS(i):02d}" for i in S),
                "county": _join(p.CountyName(i) for i in C),
                "county_fips": _join(f"{p.CountyFIPS(i):03d}" for i in C),
                "geoid": _join(f"21{p.CountyFIPS(i):03d}" for i in C),
                "sp_zone": _join(p.CountySPZone(i) for i in C),
                "quad": _join(p.QuadName(i) for i in Q),
                "quad_tile": _join(p.QuadTile(i) for i in Q),
                "quad_state": _join(p.QuadState(i) for i in Q)}


@pytest.mark.parametrize("datum", [D.zrNAD83, D.zrNAD27])
def test_every_point_matches_the_position(datum):
    lon, lat = grid()
    lon = np.concatenate([lon, [-84.8733, 84.8733, math.nan, -85.0, -200.0]])
    lat = np.concatenate([lat, [38.2009, 38.2009, 38.0, math.inf, 38.0]])
    frame = lantrel.locate(lon, lat, datum=datum)
    assert list(frame.columns)[:len(COLUMNS)] == COLUMNS
    assert len(frame) == len(lon)
    found = 0
    for i, (x, y) in enumerate(zip(lon, lat)):
        want = position_row(float(x), float(y), datum)
        got = frame.iloc[i]
        assert got["status"] == want["status"], (x, y)
        if want["status"] == 0:
            assert {k: got[k] for k in want} == want, (x, y)
            found += want["county_count"] > 0
    assert found > 100


def test_the_record_tables_reach_every_county():
    locator = lantrel.Locator()
    assert len(set(locator._tables["county"][:-1])) >= 120
    assert lantrel.locate([-84.8733], [38.2009]).loc[0, "county"] == "Franklin"


def test_series_keep_their_index_and_scalars_give_one_row():
    lon = pandas.Series([-84.8733, -85.7585], index=[10, 20])
    lat = pandas.Series([38.2009, 38.2527], index=[10, 20])
    frame = lantrel.locate(lon, lat)
    assert list(frame.index) == [10, 20]
    assert list(frame.county) == ["Franklin", "Jefferson"]
    assert len(lantrel.locate(-84.8733, 38.2009)) == 1
    assert len(lantrel.locate([], [])) == 0


def test_a_missing_data_file_raises_1010(tmp_path):
    missing = os.path.join(str(tmp_path), "nowhere", "lantrel.bin")
    with pytest.raises(lantrel.Error) as e:
        lantrel.locate([-84.5], [38.0], data_file=missing)
    assert e.value.number == lantrel.E_DATA_NOT_LOADED and e.value.description


@pytest.mark.parametrize("lon,lat", [(math.nan, 38.0), (-84.5, math.inf), (1e308, 1e308)])
def test_errcheck_raises_exactly_where_a_position_fails(lon, lat):
    want = position_row(lon, lat, D.zrNAD83)["status"]
    frame = lantrel.locate([-84.5, lon], [38.0, lat])
    assert list(frame.status) == [0, want]
    if want:
        with pytest.raises(lantrel.Error) as e:
            lantrel.locate([-84.5, lon], [38.0, lat], errcheck=True)
        assert (e.value.number, e.value.index) == (want, 1)
    else:
        lantrel.locate([-84.5, lon], [38.0, lat], errcheck=True)


def test_hostile_inputs():
    with pytest.raises(TypeError):
        lantrel.locate(["-84.5"], [38.0])
    with pytest.raises(ValueError):
        lantrel.locate([1.0, 2.0], [1.0])
    with pytest.raises(lantrel.Error):
        lantrel.locate([1.0], [1.0], datum="wgs84")


def tile_centre(tile):
    """Centre (lon, lat) of a 7.5' cell from its tile name, e.g. "37084-E7"."""
    lat_block, lon_block = int(tile[:2]), int(tile[2:5])
    row, column = "ABCDEFGH".index(tile[6]), int(tile[7:])
    south = lat_block + row * 0.125
    east = lon_block + (column - 1) * 0.125
    return -(east + 0.0625), south + 0.0625


def test_every_quadrangle_record_is_found_at_its_centre_as_a_position_finds_it():
    tables = lantrel.Locator()._tables
    tiles = tables["quad_tile"][:-1]
    centres = [tile_centre(t) for t in tiles]
    lon = np.array([c[0] for c in centres])
    lat = np.array([c[1] for c in centres])
    frame = lantrel.locate(lon, lat)
    assert list(frame.quad_tile) == list(tiles)
    assert (frame.quad_count == 1).all()
    for i in range(0, len(tiles), 7):
        want = position_row(float(lon[i]), float(lat[i]), D.zrNAD83)
        assert {k: frame.iloc[i][k] for k in want} == want, tiles[i]


def test_outlines_bounds_and_box_search():
    loc = lantrel.Locator()
    found = lantrel.locate([-84.5], [38.05])
    county = int(np.flatnonzero(loc._tables["county"][:-1] == found["county"][0])[0])
    ring = loc.outline("counties", county)
    west, south, east, north = loc.bounds("counties", county)
    assert (ring[0] == ring[-1]).all() and ring.shape[1] == 2
    assert west <= ring[:, 0].min() and ring[:, 0].max() <= east < 0
    assert south <= ring[:, 1].min() and ring[:, 1].max() <= north
    assert county in loc.records_meeting("counties", (-84.5, 38.05, -84.5, 38.05))
    assert loc.outline(2, 0).shape == (5, 2) and loc.size("quads") == loc.size(2)
    with pytest.raises(lantrel.Error):
        loc.outline("rivers", 0)
    with pytest.raises(lantrel.Error) as e:
        loc.outline("states", 10 ** 6)
    assert e.value.number == 9
