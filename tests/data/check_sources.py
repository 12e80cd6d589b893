#!/usr/bin/env python3
"""Checks the source data shipped in data/.

1. Every file data/README.md lists is present with the SHA-256 the README gives, and every file
   under data/ is listed there.
2. The NADCON window tables (data/nadcon/nadcon-window*.csv, the table the built-in grid is
   generated from) are exactly the nodes of NOAA's CONUS grid in data/nadcon/conus.lla.
3. No tracked file names the workplace's old shared data folder as a path: a clone must build and
   test from its own data/.
"""

import csv
import hashlib
import os
import re
import subprocess
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
DATA = os.path.join(ROOT, "data")
failures = []


def fail(message):
    failures.append(message)


def check_checksums():
    readme = open(os.path.join(DATA, "README.md"), encoding="utf-8").read()
    listed = dict(re.findall(r"^\| `([^`]+)` \|.*\| `([0-9a-f]{64})` \|$", readme, re.M))
    if not listed:
        fail("data/README.md lists no file with a checksum")
    for name, digest in sorted(listed.items()):
        path = os.path.join(DATA, name)
        if not os.path.isfile(path):
            fail(f"data/{name} is listed in data/README.md but missing")
            continue
        actual = hashlib.sha256(open(path, "rb").read()).hexdigest()
        if actual != digest:
            fail(f"data/{name}: SHA-256 {actual}, data/README.md says {digest}")
    for folder, _, files in os.walk(DATA):
        for f in files:
            name = os.path.relpath(os.path.join(folder, f), DATA)
            if name != "README.md" and name not in listed:
                fail(f"data/{name} is not listed in data/README.md")


def read_lla(path):
    """The grid as {(row, column): (dlon_west, dlat)} in micro-arc-seconds. Each row starts with
    'R:' and holds nx pairs; the first pair is absolute, each later one the difference from the
    node before it in the row."""
    with open(path, encoding="ascii") as f:
        f.readline()
        nx, ny = (int(v) for v in f.readline().split()[:2])
        tokens = f.read().split()
    grid, row, values = {}, -1, []

    def flush():
        if row < 0:
            return
        if len(values) != 2 * nx:
            fail(f"conus.lla row {row}: {len(values)} values, expected {2 * nx}")
            return
        lon = lat = 0
        for c in range(nx):
            dlon, dlat = values[2 * c], values[2 * c + 1]
            lon, lat = (dlon, dlat) if c == 0 else (lon + dlon, lat + dlat)
            grid[(row, c)] = (lon, lat)

    for t in tokens:
        if t.endswith(":"):
            flush()
            row, values = int(t[:-1]), []
        else:
            values.append(int(t))
    flush()
    if row != ny - 1:
        fail(f"conus.lla: last row {row}, expected {ny - 1}")
    return grid


def check_window():
    grid = read_lla(os.path.join(DATA, "nadcon", "conus.lla"))
    # Window node (i, j) lies at 35.75 + 0.25 i N, 81.25 + 0.25 j W; the grid's rows run north
    # from 20 N and its columns east from 131 W in steps of 0.25 degree.
    def node(i, j):
        return grid[(63 + i, 199 - j)]

    with open(os.path.join(DATA, "nadcon", "nadcon-window-arcsec.csv"), newline="") as f:
        rows = list(csv.DictReader(f))
    if len(rows) != 17 * 37:
        fail(f"nadcon-window-arcsec.csv: {len(rows)} nodes, expected {17 * 37}")
    for r in rows:
        lon, lat = node(int(r["i"]), int(r["j"]))
        if (round(float(r["dlat_arcsec"]) * 1e6), round(float(r["dlon_arcsec_westpos"]) * 1e6)) != (lat, lon):
            fail(f"nadcon-window-arcsec.csv node {r['i']},{r['j']} differs from conus.lla")
    with open(os.path.join(DATA, "nadcon", "nadcon-window.csv"), newline="") as f:
        rows = list(csv.DictReader(f))
    if len(rows) != 17 * 37:
        fail(f"nadcon-window.csv: {len(rows)} nodes, expected {17 * 37}")
    for r in rows:
        lon, lat = node(int(r["i"]), int(r["j"]))
        # Degrees to seven significant digits of the exact quotient of the micro-arc-seconds.
        for column, value in (("dlat_deg", lat), ("dlon_deg", lon)):
            if float(r[column]) != float("%.7g" % (value / 3600e6)):
                fail(f"nadcon-window.csv node {r['i']},{r['j']} {column} {r[column]} differs from "
                     f"conus.lla ({value / 3600e6!r})")


def check_no_shared_paths():
    try:
        tracked = subprocess.run(["git", "-C", ROOT, "ls-files"], capture_output=True, text=True, check=True)
    except (OSError, subprocess.CalledProcessError):
        print("not a git checkout: the tracked-file check is left out")
        return
    # The old folder's name, written so that this file does not name it itself.
    pattern = re.compile(r"\.\./(?:shared)\b|(?:shared)/data\b")
    for name in tracked.stdout.splitlines():
        if name.endswith(".md"):
            continue
        path = os.path.join(ROOT, name)
        try:
            text = open(path, encoding="utf-8", errors="replace").read()
        except OSError:
            continue
        for number, line in enumerate(text.splitlines(), 1):
            if pattern.search(line):
                fail(f"{name}:{number} names the old shared data folder: {line.strip()[:80]}")


check_checksums()
check_window()
check_no_shared_paths()
for f in failures:
    print("FAIL:", f)
print(f"{'0 failed' if not failures else str(len(failures)) + ' failed'}")
sys.exit(1 if failures else 0)
