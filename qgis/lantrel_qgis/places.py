"""Places typed in by name: a Carter location (full or partial), a county or a quadrangle
(name or tile), as the rectangle to zoom to."""

import functools
import re

import numpy as np

import lantrel

from . import grids, locations

NAD27, NAD83 = "EPSG:4267", "EPSG:4269"
# Where Kentucky's counties and quadrangles are looked for (NAD 83, degrees).
_WINDOW = (-89.6, 36.45, -81.9, 39.2)
_STEP = 0.01
_TILE = re.compile(r"\s*(\d{2})(\d{3})-([A-Ha-h])([1-8])\s*\Z")


def tile_bounds(tile):
    """(west, south, east, north) of a quadrangle tile such as 38084-B7: the degree block
    (latitude 38, longitude 84 W), row B from the south, column 7 from the east."""
    m = _TILE.match(tile)
    if not m:
        return None
    lat, lon, row, column = int(m.group(1)), int(m.group(2)), m.group(3).upper(), int(m.group(4))
    south = lat + (ord(row) - 65) * grids.QUAD
    east = -(lon + (column - 1) * grids.QUAD)
    return east - grids.QUAD, south, east, south + grids.QUAD


@functools.lru_cache(maxsize=1)
def county_extents():
    """{county name (lower case): (name, west, south, east, north)} found by looking up a
    0.01-degree lattice over Kentucky (the library gives no outlines); each extent is padded
    by one lattice step."""
    west, south, east, north = _WINDOW
    lon = np.arange(west, east, _STEP)
    lat = np.arange(south, north, _STEP)
    grid_lon, grid_lat = np.meshgrid(lon, lat)
    found = locations.lookup(grid_lon.ravel(), grid_lat.ravel())
    counties = found["county"]
    extents = {}
    for name in sorted(set(counties.tolist()) - {""}):
        where = counties == name
        xs, ys = grid_lon.ravel()[where], grid_lat.ravel()[where]
        extents[name.lower()] = (name, float(xs.min()) - _STEP, float(ys.min()) - _STEP,
                                 float(xs.max()) + _STEP, float(ys.max()) + _STEP)
    return extents


@functools.lru_cache(maxsize=1)
def quad_names():
    """{quadrangle name (lower case): [tiles]} over Kentucky's window."""
    names = {}
    for name, tile, _, _ in grids.quad_cells(*_WINDOW):
        names.setdefault(name.lower(), []).append(tile)
    return names


def find(text):
    """(label, (west, south, east, north), CRS authid) of a typed place; raises ValueError
    saying what was tried when nothing matches."""
    t = str(text).strip()
    if not t:
        raise ValueError("type a Carter location, a county or a quadrangle")
    lon, lat = lantrel.from_carter(t, datum="nad27")
    if lon == lon:
        return f"Carter {t}", (lon, lat, lon, lat), NAD27
    try:
        cell = grids.partial_cell(t)
    except ValueError as e:
        raise ValueError(str(e)) from None
    if cell is not None:
        return f"Carter {cell[0]}", cell[1], NAD27
    bounds = tile_bounds(t)
    if bounds is not None:
        return f"quadrangle {t.upper()}", bounds, NAD83
    key = re.sub(r"\s+county\s*\Z", "", t, flags=re.I).strip().lower()
    county = county_extents().get(key)
    if county is not None:
        return f"{county[0]} County", county[1:], NAD83
    tiles = quad_names().get(t.lower())
    if tiles:
        boxes = [tile_bounds(tile) for tile in tiles]
        return (f"quadrangle {t} ({', '.join(tiles)})",
                (min(b[0] for b in boxes), min(b[1] for b in boxes),
                 max(b[2] for b in boxes), max(b[3] for b in boxes)), NAD83)
    raise ValueError(f"{t!r} is no Carter location, county or quadrangle lantrel knows")
