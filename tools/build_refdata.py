#!/usr/bin/env python3
"""Builds lantrel.bin, the reference data file of state, county and quadrangle areas.

Sources (public domain):
  * US Census Bureau 2018 cartographic boundary files, 1:500,000: Kentucky and its seven
    neighbouring states (dissolved from their counties, so every shared border carries
    bit-identical vertices) and Kentucky's 120 counties, as GeoJSON in NAD 83 degrees.
  * USGS 7.5-minute quadrangle index (name, primary state, cell bounds, tile identifier).

Layout written (all little-endian, no header):
  state count, state records   records 0 and 1: Kentucky's main body and the Kentucky Bend,
                               then MO, IL, IN, OH, WV, VA, TN, one record per ring
  county count, county records Kentucky's counties in FIPS order, one record per part
  quadrangle count, records    every 7.5' cell of 36-39.5 N, 81.5-90 W, south to north,
                               east to west; a cell the index does not name has an empty
                               name and state but keeps its tile and bounds
  vertex-number count, numbers one shared vertex list: equal coordinates share one number
  vertex count, vertices       x = longitude west-positive, y = latitude
  checksum trailer             the 8 bytes "LTRLSUM1", then the 64-bit FNV-1a digest of every
                               byte before the trailer; readers that stop after the vertices
                               skip it like any other trailing bytes

After writing, the file is read back and checked (see validate()).
"""

import argparse
import csv
import json
import math
import os
import struct
import sys
import tempfile

HOME = "KY"
NEIGHBOURS = ["MO", "IL", "IN", "OH", "WV", "VA", "TN"]
WINDOW_SOUTH, WINDOW_NORTH = 36.0, 39.5
WINDOW_EAST, WINDOW_WEST = 81.5, 90.0
CELL = 0.125
ROW_LETTERS = "ABCDEFGH"
CHECKSUM_TAG = b"LTRLSUM1"
FNV_BASIS, FNV_PRIME, MASK64 = 0xcbf29ce484222325, 0x100000001b3, (1 << 64) - 1


class BuildError(Exception):
    pass


# ---------------------------------------------------------------------------------------------
# Sources


def polygons_of(geometry):
    """The polygons of a GeoJSON geometry, each a list of rings of [lon, lat]."""
    if geometry["type"] == "Polygon":
        return [geometry["coordinates"]]
    if geometry["type"] == "MultiPolygon":
        return geometry["coordinates"]
    raise BuildError("unsupported geometry type " + geometry["type"])


def outer_rings(feature, label):
    rings = []
    for polygon in polygons_of(feature["geometry"]):
        if len(polygon) != 1:
            # An outline record is one ring walked by an even-odd test; a hole would need a
            # record of its own and would then be reported as a separate area.
            raise BuildError(label + " has a polygon with holes, which the file cannot hold")
        ring = polygon[0]
        if len(ring) < 4 or ring[0] != ring[-1]:
            raise BuildError(label + " has a ring that is not closed")
        rings.append(ring)
    return rings


def load_states(path):
    with open(path, encoding="utf-8") as f:
        features = json.load(f)["features"]
    by_code = {f["properties"]["STUSPS"]: f for f in features}
    missing = [c for c in [HOME] + NEIGHBOURS if c not in by_code]
    if missing:
        raise BuildError("states missing from %s: %s" % (path, ", ".join(missing)))
    records = []
    home = outer_rings(by_code[HOME], HOME)
    if len(home) != 2:
        raise BuildError("Kentucky should have 2 rings (main body, Kentucky Bend), found %d"
                         % len(home))
    home.sort(key=len, reverse=True)  # main body first, then the Bend
    for code in [HOME] + NEIGHBOURS:
        feature = by_code[code]
        props = feature["properties"]
        rings = home if code == HOME else outer_rings(feature, code)
        for ring in rings:
            records.append((int(props["STATEFP"]), props["NAME"], ring))
    return records


def load_counties(path):
    with open(path, encoding="utf-8") as f:
        features = json.load(f)["features"]
    records = []
    for feature in features:
        props = feature["properties"]
        fips = int(props["COUNTYFP"])
        if not 0 <= fips <= 239:
            raise BuildError("county %s has code %d outside 0-239" % (props["NAME"], fips))
        for ring in outer_rings(feature, props["NAME"]):
            records.append((fips, props["NAME"], ring))
    return records


def tile_of(south, east):
    """Tile identifier of the 7.5' cell whose south-east corner is (south, east west)."""
    lat_block = math.floor(south)
    lon_block = math.floor(east)
    row = int(round((south - lat_block) / CELL))
    column = int(round((east - lon_block) / CELL)) + 1
    return "%02d%03d-%s%d" % (lat_block, lon_block, ROW_LETTERS[row], column)


def load_quads(path):
    """Every cell of the served window, in (south, east) order, with its name where known."""
    named = {}
    with open(path, newline="", encoding="utf-8") as f:
        for row in csv.DictReader(f):
            south, north = float(row["south"]), float(row["north"])
            east, west = float(row["east_west"]), float(row["west_west"])
            if north - south != CELL or west - east != CELL:
                raise BuildError("quadrangle %s is not a 7.5' cell" % row["tile"])
            if row["tile"] != tile_of(south, east):
                raise BuildError("quadrangle %s: tile does not match its bounds" % row["tile"])
            if (south, east) in named:
                raise BuildError("two quadrangles for cell %s" % row["tile"])
            named[(south, east)] = (row["name"], row["state"], row["tile"])
    rows = int(round((WINDOW_NORTH - WINDOW_SOUTH) / CELL))
    columns = int(round((WINDOW_WEST - WINDOW_EAST) / CELL))
    quads = []
    unnamed = 0
    for i in range(rows):
        south = WINDOW_SOUTH + i * CELL
        for j in range(columns):
            east = WINDOW_EAST + j * CELL
            name, state, tile = named.get((south, east), ("", "", tile_of(south, east)))
            unnamed += name == ""
            quads.append((name, state, tile, east + CELL, east, south + CELL, south))
    return quads, unnamed


# ---------------------------------------------------------------------------------------------
# Writing


def encode_text(text, label):
    try:
        data = text.encode("cp1252")
    except UnicodeEncodeError as e:
        raise BuildError("%s: %r cannot be written in Windows-1252" % (label, text)) from e
    if len(data) > 0xFFFF:
        raise BuildError("%s: text longer than 65535 bytes" % label)
    return struct.pack("<H", len(data)) + data


class VertexPool:
    """One vertex list; vertices with identical coordinates share one number."""

    def __init__(self):
        self.numbers = {}
        self.vertices = []
        self.index_list = []

    def add_ring(self, ring):
        first = len(self.index_list)
        for lon, lat in ring:
            key = (-lon, lat)  # west-positive; negation is exact
            number = self.numbers.get(key)
            if number is None:
                number = len(self.vertices)
                self.numbers[key] = number
                self.vertices.append(key)
            self.index_list.append(number)
        return first, len(self.index_list) - 1


def fnv1a64(data):
    h = FNV_BASIS
    for b in data:
        h = ((h ^ b) * FNV_PRIME) & MASK64
    return h


def checksum_trailer(data):
    return CHECKSUM_TAG + struct.pack("<Q", fnv1a64(data))


def region_bytes(fips, name, first, last, ring):
    xs = [-lon for lon, _ in ring]
    ys = [lat for _, lat in ring]
    return (struct.pack("<iii", fips, first, last) + encode_text(name, name)
            + struct.pack("<dddd", max(xs), min(xs), max(ys), min(ys)))


def build(states, counties, quads):
    pool = VertexPool()
    out = [struct.pack("<i", len(states))]
    for fips, name, ring in states:
        out.append(region_bytes(fips, name, *pool.add_ring(ring), ring))
    out.append(struct.pack("<i", len(counties)))
    for fips, name, ring in counties:
        out.append(region_bytes(fips, name, *pool.add_ring(ring), ring))
    out.append(struct.pack("<i", len(quads)))
    for name, state, tile, xmax, xmin, ymax, ymin in quads:
        out.append(encode_text(name, tile) + encode_text(state, tile) + encode_text(tile, tile)
                   + struct.pack("<dddd", xmax, xmin, ymax, ymin))
    out.append(struct.pack("<i", len(pool.index_list)))
    out.append(struct.pack("<%di" % len(pool.index_list), *pool.index_list))
    out.append(struct.pack("<i", len(pool.vertices)))
    for x, y in pool.vertices:
        out.append(struct.pack("<dd", x, y))
    data = b"".join(out)
    return data + checksum_trailer(data)


# ---------------------------------------------------------------------------------------------
# Reading back and checking


def parse(data):
    """Independent reader of the written layout; returns the five tables."""
    end = len(data) - len(checksum_trailer(b""))
    if end < 0 or data[end:] != checksum_trailer(data[:end]):
        raise BuildError("written file does not end in its checksum")
    pos = 0

    def take(fmt):
        nonlocal pos
        size = struct.calcsize(fmt)
        if pos + size > end:
            raise BuildError("written file is truncated")
        values = struct.unpack_from(fmt, data, pos)
        pos += size
        return values

    def text():
        (n,) = take("<H")
        return take("<%ds" % n)[0].decode("cp1252")

    def regions():
        (count,) = take("<i")
        result = []
        for _ in range(count):
            fips, first, last = take("<iii")
            name = text()
            result.append((fips, first, last, name) + take("<dddd"))
        return result

    states = regions()
    counties = regions()
    (count,) = take("<i")
    quads = [(text(), text(), text()) + take("<dddd") for _ in range(count)]
    (count,) = take("<i")
    index_list = list(take("<%di" % count))
    (count,) = take("<i")
    flat = take("<%dd" % (2 * count))
    vertices = list(zip(flat[0::2], flat[1::2]))
    if pos != end:
        raise BuildError("written file has %d stray bytes" % (end - pos))
    return states, counties, quads, index_list, vertices


def outline(record, index_list, vertices):
    _, first, last = record[:3]
    return [vertices[index_list[k]] for k in range(first, last + 1)]


def crossings_inside(points, x, y):
    """Even-odd test (ray towards larger x) for a point known to lie off the outline."""
    inside = False
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        if (ay > y) != (by > y):
            xi = (y - ay) * (bx - ax) / (by - ay) + ax
            if xi > x:
                inside = not inside
    return inside


def distance_to_outline(points, x, y):
    best = math.inf
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        best = min(best, math.hypot(ax + t * dx - x, ay + t * dy - y))
    return best


def interior_point(points):
    """A point well inside a ring: the middle of the widest span of a scan line that passes
    between vertex latitudes near the middle of the ring."""
    levels = sorted(set(y for _, y in points))
    best = None
    for i in range(len(levels) // 4, max(len(levels) // 4 + 1, 3 * len(levels) // 4)):
        if i + 1 >= len(levels):
            break
        y = (levels[i] + levels[i + 1]) / 2
        xs = sorted((y - ay) * (bx - ax) / (by - ay) + ax
                    for (ax, ay), (bx, by) in zip(points, points[1:])
                    if (ay > y) != (by > y))
        for a, b in zip(xs[0::2], xs[1::2]):
            if best is None or b - a > best[0]:
                best = (b - a, (a + b) / 2, y)
    if best is None:
        raise BuildError("ring without interior")
    return best[1], best[2]


def validate(data, expect_states, expect_counties, expect_quads):
    states, counties, quads, index_list, vertices = parse(data)
    problems = []
    if (len(states), len(counties), len(quads)) != (expect_states, expect_counties, expect_quads):
        problems.append("record counts differ from what was written")
    for kind, records in (("state", states), ("county", counties)):
        for r in records:
            fips, first, last, name, xmax, xmin, ymax, ymin = r
            if not (0 <= first <= last < len(index_list)):
                problems.append("%s %s: vertex positions out of range" % (kind, name))
                continue
            if any(not 0 <= index_list[k] < len(vertices) for k in range(first, last + 1)):
                problems.append("%s %s: vertex number out of range" % (kind, name))
                continue
            points = outline(r, index_list, vertices)
            if points[0] != points[-1]:
                problems.append("%s %s: outline not closed" % (kind, name))
            if any(not (xmin <= x <= xmax and ymin <= y <= ymax) for x, y in points):
                problems.append("%s %s: box does not enclose outline" % (kind, name))
    for name, state, tile, xmax, xmin, ymax, ymin in quads:
        if not (xmin < xmax and ymin < ymax):
            problems.append("quadrangle %s: empty rectangle" % tile)
    home = [outline(r, index_list, vertices) for r in states[:2]]
    county_outlines = [outline(r, index_list, vertices) for r in counties]
    for i, r in enumerate(counties):
        x, y = interior_point(county_outlines[i])
        name = r[3]
        if distance_to_outline(county_outlines[i], x, y) < 1e-9:
            problems.append("county %s: no interior point found" % name)
            continue
        if not crossings_inside(county_outlines[i], x, y):
            problems.append("county %s: not found at its interior point" % name)
        if not any(crossings_inside(h, x, y) for h in home):
            problems.append("county %s: interior point outside the home state" % name)
        for j, other in enumerate(counties):
            if j == i or not (other[5] <= x <= other[4] and other[7] <= y <= other[6]):
                continue
            if crossings_inside(county_outlines[j], x, y):
                problems.append("county %s: interior point also inside %s" % (name, other[3]))
    return problems, len(vertices), len(index_list)


# ---------------------------------------------------------------------------------------------


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--states", required=True, help="states-from-counties-500k.geojson")
    parser.add_argument("--counties", required=True, help="ky-counties-500k.geojson")
    parser.add_argument("--quads", required=True, help="quads.csv")
    parser.add_argument("--output", required=True, help="lantrel.bin to write")
    args = parser.parse_args(argv)
    try:
        states = load_states(args.states)
        counties = load_counties(args.counties)
        quads, unnamed = load_quads(args.quads)
        data = build(states, counties, quads)
        problems, vertex_count, number_count = validate(data, len(states), len(counties),
                                                        len(quads))
        if problems:
            raise BuildError("validation failed:\n  " + "\n  ".join(problems))
    except (BuildError, OSError, ValueError, KeyError) as e:
        print("build_refdata: %s" % e, file=sys.stderr)
        return 1
    folder = os.path.dirname(os.path.abspath(args.output))
    os.makedirs(folder, exist_ok=True)
    # Write beside the target and rename, so a reader never sees a half-written file.
    fd, temp = tempfile.mkstemp(dir=folder, prefix=".lantrel.bin.")
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(data)
        os.chmod(temp, 0o644)
        os.replace(temp, args.output)
    except BaseException:
        os.unlink(temp)
        raise
    print("build_refdata: wrote %s: %d states, %d counties, %d quadrangles (%d unnamed), "
          "%d vertex numbers, %d vertices, %d bytes"
          % (args.output, len(states), len(counties), len(quads), unnamed, number_count,
             vertex_count, len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
