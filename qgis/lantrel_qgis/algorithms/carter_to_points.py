"""Carter locations in a text field -> a point layer (and the cells of partial locations)."""

import numpy as np
from qgis.core import (QgsCoordinateReferenceSystem, QgsGeometry, QgsPointXY, QgsProcessing,
                       QgsProcessingOutputNumber, QgsProcessingParameterFeatureSink,
                       QgsProcessingParameterFeatureSource, QgsProcessingParameterField,
                       QgsRectangle, QgsWkbTypes)

import lantrel

from .. import grids
from ..layer_points import point_geometry
from .base import LantrelAlgorithm, Tally, Output, output_fields

NAD27 = "EPSG:4267"
PARTIAL = "partial"


class CarterToPoints(LantrelAlgorithm):
    NAME = "cartertopoints"
    TITLE = "Carter locations to points"
    HELP = ("Reads the Carter location in a text field of every feature (either layout: "
            "D45-07 1200-FNL 350-FWL or 1200 FNL  350 FWL 07- D-45) and writes its point on "
            "NAD 27 (EPSG:4267). A partial location (a block, D45, or a block and section, "
            "D45-07) names an area: it gets the cell's centre as its point, lantrel_message "
            "lantrel_status 'partial', and its cell as a polygon in the Cells output. "
            "A text that is no location is kept with an empty geometry, lantrel_status "
            "'failed' and the reason.")

    def initAlgorithm(self, config=None):
        self.addParameter(QgsProcessingParameterFeatureSource(
            "INPUT", "Table or layer", [QgsProcessing.TypeVector]))
        self.addParameter(QgsProcessingParameterField(
            "FIELD", "Carter location field", parentLayerParameterName="INPUT",
            type=QgsProcessingParameterField.String))
        self.addParameter(QgsProcessingParameterFeatureSink("OUTPUT", "Points",
                                                            QgsProcessing.TypeVectorPoint))
        self.addParameter(QgsProcessingParameterFeatureSink(
            "CELLS", "Cells of partial locations", QgsProcessing.TypeVectorPolygon,
            optional=True, createByDefault=False))
        self.addOutput(QgsProcessingOutputNumber("PLACED", "Features placed"))
        self.addOutput(QgsProcessingOutputNumber("FAILED", "Features without a result"))

    def processAlgorithm(self, parameters, context, feedback):
        source = self.parameterAsSource(parameters, "INPUT", context)
        name = self.parameterAsString(parameters, "FIELD", context)
        index = source.fields().lookupField(name)
        if index < 0:
            self.refuse(ValueError(f"the input has no field {name!r}"))
        fields = output_fields(source.fields(), [("carter_cell", "text")])
        crs = QgsCoordinateReferenceSystem(NAD27)
        sink, dest = self.parameterAsSink(parameters, "OUTPUT", context, fields,
                                          QgsWkbTypes.Point, crs)
        cells_sink, cells_dest = self.parameterAsSink(parameters, "CELLS", context, fields,
                                                      QgsWkbTypes.Polygon, crs)
        features = list(source.getFeatures())
        texts = [f.attributes()[index] for f in features]
        readable = [t if isinstance(t, str) else None for t in texts]
        lon, lat = lantrel.from_carter(np.array(readable, dtype=object), datum="nad27")
        out = Output(sink, fields)
        cells_out = Output(cells_sink, fields) if cells_sink is not None else None
        tally = Tally(feedback, len(features))
        for i, f in enumerate(features):
            if feedback.isCanceled():
                break
            text, message, cell, label = texts[i], None, None, ""
            if lon[i] == lon[i]:
                geometry = point_geometry(float(lon[i]), float(lat[i]))
            else:
                geometry = QgsGeometry()
                message, cell, label = _partial_or_reason(text)
                if cell is not None:
                    west, south, east, north = cell
                    geometry = QgsGeometry.fromPointXY(QgsPointXY((west + east) / 2,
                                                                  (south + north) / 2))
            out.add(f, geometry, message, [label],
                        PARTIAL if cell is not None else None)
            if cell is not None and cells_out is not None:
                cells_out.add(f, QgsGeometry.fromRect(QgsRectangle(*cell)),
                            None, [label])
            tally.count(None if cell is not None else message)
        out.flush()
        if cells_out is not None:
            cells_out.flush()
        tally.report("placed")
        return {"OUTPUT": dest, "CELLS": cells_dest, "PLACED": tally.ok,
                "FAILED": tally.failed}


def _partial_or_reason(text):
    """(message, cell bounds, label) of a text from_carter could not read."""
    if text is None or (hasattr(text, "isNull") and text.isNull()) or \
            (isinstance(text, str) and not text.strip()):
        return "the Carter location field is empty", None, ""
    if not isinstance(text, str):
        return f"the Carter location field holds {text!r}, not a text", None, ""
    try:
        cell = grids.partial_cell(text)
    except ValueError as e:
        return f"{text.strip()!r}: {e}", None, ""
    if cell is None:
        try:
            lantrel.from_carter(text, datum="nad27", errcheck=True)
        except lantrel.Error as e:
            return f"{text.strip()!r}: {e.description}", None, ""
        return f"{text.strip()!r} is not a Carter location", None, ""
    label, bounds = cell
    return "partial location: cell centre", bounds, label
