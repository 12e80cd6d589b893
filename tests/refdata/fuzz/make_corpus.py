#!/usr/bin/env python3
"""Writes the hand-made seed files of the reference data fuzz target into corpus/."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def i32(v):
    return struct.pack("<i", v)


def f64(*values):
    return b"".join(struct.pack("<d", v) for v in values)


def text(s):
    data = s.encode("cp1252")
    return struct.pack("<H", len(data)) + data


def region(fips, first, last, name, box):
    return i32(fips) + i32(first) + i32(last) + text(name) + f64(*box)


def quad(name, state, tile, box):
    return text(name) + text(state) + text(tile) + f64(*box)


def sections(states, counties, quads, numbers, vertices):
    out = [i32(len(states))] + states + [i32(len(counties))] + counties
    out += [i32(len(quads))] + quads + [i32(len(numbers))] + [i32(n) for n in numbers]
    out += [i32(len(vertices))] + [f64(x, y) for x, y in vertices]
    return b"".join(out)


SQUARE = [(85, 37), (83, 37), (83, 38), (85, 38)]
BOX = (85, 83, 38, 37)


def small_map(name="Home", vertices=None, numbers=None, county_range=(0, 4)):
    vertices = vertices or SQUARE + [(84, 37), (84, 38)]
    numbers = numbers or [0, 1, 2, 3, 0, 0, 4, 5, 3, 0]
    return sections(
        [region(21, 0, 4, name, BOX), region(21, 0, 4, "Home", BOX), region(47, 5, 9, "South", BOX)],
        [region(1, *county_range, "East", BOX), region(5, 5, 9, "West", (85, 84, 38, 37))],
        [quad("NE", "KY", "37083-H1", (83.25, 83.0, 38.0, 37.875)),
         quad("", "", "37083-H2", (83.5, 83.25, 38.0, 37.875))],
        numbers, vertices)


def main():
    files = {
        "all_counts_one.bin": sections([region(1, 0, 0, "", (1, 0, 1, 0))],
                                       [region(1, 0, 0, "", (1, 0, 1, 0))],
                                       [quad("", "", "", (1, 0, 1, 0))], [0], [(0.5, 0.5)]),
        "small_map.bin": small_map(),
        "zero_length_names.bin": small_map(name=""),
        "windows1252_names.bin": small_map(name="Caf\u00e9 \u20ac"),
        "trailing_bytes.bin": small_map() + b"\xff\x00\x80trailing",
        "bad_vertex_number.bin": small_map(numbers=[0, 1, 2, 99, 0, 0, 4, 5, -3, 0]),
        "bad_positions.bin": small_map(county_range=(7, 4000)),
        "nan_vertex.bin": small_map(vertices=SQUARE[:3] + [(float("nan"), 38), (84, 37), (84, 38)]),
        "huge_coordinates.bin": small_map(vertices=[(1e308, 37), (-1e308, 37.5)] + SQUARE[2:]
                                          + [(84, 37), (float("inf"), 38)]),
        "state_count_zero.bin": i32(0) + small_map()[4:],
        "state_count_int_min.bin": i32(-2147483648) + small_map()[4:],
        "state_count_huge.bin": i32(2147483647) + small_map()[4:],
    }
    full = small_map()
    # Truncated inside each section, and a vertex count larger than the bytes left.
    vertices_at = len(full) - 6 * 16 - 4
    for cut, label in ((30, "states"), (200, "counties"), (260, "quads"),
                       (vertices_at - 8, "numbers"), (len(full) - 5, "vertices")):
        files["truncated_%s.bin" % label] = full[:cut]
    files["vertex_count_huge.bin"] = full[:vertices_at] + i32(1 << 28) + full[vertices_at + 4:]
    os.makedirs(os.path.join(HERE, "corpus"), exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(HERE, "corpus", name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
