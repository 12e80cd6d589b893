"""One standalone, headless QGIS for the plugin's tests (offscreen, private HOME and profile set
by run_qgis_tests.py), with Processing initialised and the lantrel provider added, and small
layers written as GeoPackage, GeoJSON and CSV."""

import csv
import os
import sys

import pytest

SOURCE = os.environ.get("LANTREL_SOURCE_DIR",
                        os.path.dirname(os.path.dirname(os.path.dirname(__file__))))
sys.path.insert(0, os.path.join(SOURCE, "qgis"))
sys.path.append("/usr/share/qgis/python/plugins")

from qgis.core import (QgsApplication, QgsCoordinateReferenceSystem, QgsFeature,  # noqa: E402
                       QgsField, QgsFields, QgsGeometry, QgsVectorFileWriter, QgsVectorLayer,
                       QgsProject)
from qgis.PyQt.QtCore import QVariant  # noqa: E402

_app = QgsApplication([], False)
_app.setPrefixPath("/usr", True)
_app.initQgis()

from processing.core.Processing import Processing  # noqa: E402

Processing.initialize()

from lantrel_qgis.provider import LantrelProvider  # noqa: E402

PROVIDER = LantrelProvider()
QgsApplication.processingRegistry().addProvider(PROVIDER)

import processing  # noqa: E402,F401

# Geographic NAD 83 points: inside Kentucky, in Ohio, outside the NADCON window and the grid.
KY_POINTS = [(-84.8733, 38.2009), (-85.4321, 37.1234), (-83.25, 38.5), (-84.0, 36.7),
             (-86.5, 37.75), (-89.2, 36.9), (-82.6, 37.5), (-82.9, 39.1)]
FAR_POINT = (-95.0, 30.0)


def write_layer(path, crs, rows, fields=(("name", "text"),), driver=None):
    """A layer file of rows [(wkt or None, {field: value})]; returns it opened."""
    kinds = {"text": QVariant.String, "int": QVariant.Int, "real": QVariant.Double}
    qfields = QgsFields()
    for name, kind in fields:
        qfields.append(QgsField(name, kinds[kind]))
    options = QgsVectorFileWriter.SaveVectorOptions()
    options.driverName = driver or {".gpkg": "GPKG", ".geojson": "GeoJSON",
                                    ".csv": "CSV"}[os.path.splitext(path)[1]]
    if options.driverName == "CSV":
        options.layerOptions = ["GEOMETRY=AS_WKT"]
    geometry_type = QgsGeometry.fromWkt(next(w for w, _ in rows if w)).wkbType()
    writer = QgsVectorFileWriter.create(path, qfields, geometry_type,
                                        QgsCoordinateReferenceSystem(crs),
                                        QgsProject.instance().transformContext(), options)
    for wkt, values in rows:
        f = QgsFeature(qfields)
        f.setAttributes([values.get(name) for name, _ in fields])
        if wkt:
            f.setGeometry(QgsGeometry.fromWkt(wkt))
        writer.addFeature(f)
    del writer
    layer = QgsVectorLayer(path, os.path.basename(path), "ogr")
    assert layer.isValid(), path
    return layer


def table(path, header, rows):
    """A CSV table without geometry, read by OGR as text fields."""
    with open(path, "w", encoding="utf-8", newline="") as f:
        out = csv.writer(f)
        out.writerow(header)
        out.writerows(rows)
    layer = QgsVectorLayer(path, os.path.basename(path), "ogr")
    assert layer.isValid(), path
    return layer


def run(algorithm, **parameters):
    """Runs lantrel:<algorithm> into memory; returns (results, output layer, log text)."""
    from qgis.core import QgsProcessingContext, QgsProcessingFeedback

    class Log(QgsProcessingFeedback):
        def __init__(self):
            super().__init__()
            self.lines = []

        def pushInfo(self, text):
            self.lines.append(text)

        def reportError(self, text, fatal=False):
            self.lines.append(text)

    parameters.setdefault("OUTPUT", "memory:")
    context = QgsProcessingContext()
    log = Log()
    results = processing.run(f"lantrel:{algorithm}", parameters, context=context, feedback=log)
    output = results["OUTPUT"]
    if isinstance(output, str):
        output = context.takeResultLayer(output) or QgsVectorLayer(output, "out", "ogr")
    return results, output, "\n".join(log.lines)


def rows(layer):
    return [dict(zip(layer.fields().names(), f.attributes()), geometry=f.geometry())
            for f in layer.getFeatures()]


@pytest.fixture(scope="session")
def qgis_app():
    return _app
