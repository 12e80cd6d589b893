"""End to end: QGIS's command-line Processing runner loads the plugin and converts a layer."""

import json
import os
import subprocess

import numpy as np

import lantrel
from conftest import KY_POINTS, SOURCE, write_layer
from qgis.core import QgsVectorLayer

RUNNER = "/usr/bin/qgis_process.bin"  # /usr/bin/qgis_process passes an option it does not know


def qgis_process(*arguments):
    env = dict(os.environ)
    env["QGIS_PLUGINPATH"] = os.path.join(SOURCE, "qgis")
    env["PYTHONPATH"] = os.path.dirname(os.path.dirname(lantrel.__file__))
    done = subprocess.run([RUNNER, *arguments], env=env, capture_output=True, text=True,
                          timeout=300)
    assert done.returncode == 0, done.stdout + done.stderr
    return done.stdout


def test_qgis_process_runs_a_lantrel_algorithm(tmp_path):
    layer = write_layer(str(tmp_path / "in.gpkg"), "EPSG:4269",
                        [(f"POINT({x!r} {y!r})", {"name": str(i)})
                         for i, (x, y) in enumerate(KY_POINTS)])
    qgis_process("plugins", "enable", "lantrel_qgis")
    out = tmp_path / "out.gpkg"
    report = json.loads(qgis_process("--json", "run", "lantrel:convertlayer", "--",
                                     f"INPUT={layer.source().split('|')[0]}",
                                     "TARGET_SYSTEM=north/nad27/usft", f"OUTPUT={out}"))
    assert report["results"]["CONVERTED"] == len(KY_POINTS)
    result = QgsVectorLayer(str(out), "out", "ogr")
    got = [(f.geometry().asPoint().x(), f.geometry().asPoint().y()) for f in result.getFeatures()]
    ex, ey = lantrel.Transformer("geo", "north/nad27/usft").transform(
        *map(np.array, zip(*KY_POINTS)))
    assert got == list(zip(ex.tolist(), ey.tolist()))
