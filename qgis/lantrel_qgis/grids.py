"""Areas as rectangles in geographic coordinates: the Carter grid's blocks and sections (on
NAD 27), partial Carter locations, and the 7.5-minute quadrangles (on NAD 83, named by the
library's lookup)."""

import math
import re

import numpy as np

import lantrel

from . import locations

BLOCK = 0.08333333333333333        # 5 minutes
SECTION = 0.016666666666666666     # 1 minute
GRID_SOUTH = 36.5
GRID_WEST = 89.58333333333333      # positive west
GRID_ROWS = 33                     # "A" .. "Z", "AA" .. "GG"
GRID_COLUMNS = 93                  # 0 .. 92
QUAD = 0.125                       # 7.5 minutes

_PARTIAL = re.compile(r"\s*([A-Za-z]{1,2})\s*(\d{1,2})\s*(?:-\s*(\d{1,2})\s*)?\Z")


def _section_table():
    """(row, column) of sections 1..25 in minutes from the block's south and west lines:
    numbered back and forth from the north-east corner."""
    table, r, t, d = {}, 4, 4, -1
    for i in range(1, 26):
        table[i] = (r, t)
        if i % 5:
            t += d
        else:
            d, r = -d, r - 1
    return table


SECTIONS = _section_table()


def row_letter(k):
    return chr(65 + k) if k < 26 else chr(39 + k) * 2


def row_index(letter):
    """Row of a block letter ("A" 0 .. "Z" 25, "AA" 26 .. "GG" 32), None for other text."""
    u = letter.upper()
    if len(u) == 1 and "A" <= u <= "Z":
        return ord(u) - 65
    if len(u) == 2 and u[0] == u[1] and "A" <= u[0] <= "G":
        return ord(u[0]) - 65 + 26
    return None


def block_bounds(row, column):
    """(west, south, east, north) of a block, longitudes negative west."""
    south = row * BLOCK + GRID_SOUTH
    west = GRID_WEST - column * BLOCK
    return -west, south, -(west - BLOCK), south + BLOCK


def section_bounds(row, column, section):
    r, t = SECTIONS[section]
    west, south, _, _ = block_bounds(row, column)
    west_pos = -west - t / 60.0
    south = south + r / 60.0
    return -west_pos, south, -(west_pos - SECTION), south + SECTION


def partial_cell(text):
    """The area a partial Carter location names: "D45" a block, "D45-07" a section. Returns
    (label, (west, south, east, north)) or None when the text is no partial location; raises
    ValueError naming the part that is out of range."""
    m = _PARTIAL.match(str(text))
    if not m:
        return None
    letter, number, section = m.group(1), int(m.group(2)), m.group(3)
    row = row_index(letter)
    if row is None:
        raise ValueError(f"{letter!r} is not a Carter block letter (A to Z, AA to GG)")
    if not 0 <= number < GRID_COLUMNS:
        raise ValueError(f"Carter block number {number} is outside 0 to 92")
    label = f"{letter.upper()}{number:02d}"
    if section is None:
        return label, block_bounds(row, number)
    s = int(section)
    if not 1 <= s <= 25:
        raise ValueError(f"Carter section {s} is outside 1 to 25")
    return f"{label}-{s:02d}", section_bounds(row, number, s)


def _span(low, high, origin, size, count):
    first = max(0, math.floor((low - origin) / size))
    last = min(count - 1, math.ceil((high - origin) / size) - 1)
    return range(first, last + 1)


def carter_cells(west, south, east, north, sections=False):
    """[(label, bounds)] of the Carter blocks (or sections) meeting an extent given in NAD 27
    longitudes (negative west) and latitudes."""
    cells = []
    for row in _span(south, north, GRID_SOUTH, BLOCK, GRID_ROWS):
        for column in _span(west, east, -GRID_WEST, BLOCK, GRID_COLUMNS):
            label = f"{row_letter(row)}{column:02d}"
            if not sections:
                cells.append((label, block_bounds(row, column)))
                continue
            for s in range(1, 26):
                b = section_bounds(row, column, s)
                if b[2] > west and b[0] < east and b[3] > south and b[1] < north:
                    cells.append((f"{label}-{s:02d}", b))
    return cells


def quad_cells(west, south, east, north):
    """[(name, tile, state, bounds)] of the 7.5-minute quadrangles meeting an extent given in
    NAD 83 longitudes (negative west) and latitudes, named by the library's lookup at each
    cell's centre; cells the data file has no quadrangle for are left out."""
    i0, i1 = math.floor(west / QUAD), math.ceil(east / QUAD)
    j0, j1 = math.floor(south / QUAD), math.ceil(north / QUAD)
    if i1 <= i0 or j1 <= j0 or (i1 - i0) * (j1 - j0) > 200_000:
        return []
    ii, jj = np.meshgrid(np.arange(i0, i1), np.arange(j0, j1))
    lon = (ii.ravel() + 0.5) * QUAD
    lat = (jj.ravel() + 0.5) * QUAD
    found = locations.lookup(lon, lat)
    cells = []
    for k in np.flatnonzero(found["quad_count"] > 0).tolist():
        w, s = float(ii.ravel()[k]) * QUAD, float(jj.ravel()[k]) * QUAD
        cells.append((found["quad"][k], found["quad_tile"][k], found["quad_state"][k],
                      (w, s, w + QUAD, s + QUAD)))
    return cells


def county_outlines(west, south, east, north):
    """[(county, county_fips, geoid, ring)] of the counties whose outlines' bounds meet an
    extent in NAD 83 longitudes (negative west) and latitudes: the outlines lantrel's data
    file holds and its lookup tests, ring as [(lon, lat), ...] closed."""
    loc = locations.locator()
    table = loc._tables
    found = []
    for i in loc.records_meeting("counties", (west, south, east, north)).tolist():
        ring = [(float(x), float(y)) for x, y in loc.outline("counties", i)]
        found.append((table["county"][i], table["county_fips"][i], table["geoid"][i], ring))
    return found
