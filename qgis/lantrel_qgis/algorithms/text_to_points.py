"""Coordinates written in two fields (decimal, DMS, plane coordinates) -> a point layer."""

import numpy as np
from qgis.core import (QgsGeometry, QgsProcessing, QgsProcessingOutputNumber,
                       QgsProcessingParameterFeatureSink, QgsProcessingParameterFeatureSource,
                       QgsProcessingParameterField, QgsProcessingParameterString, QgsWkbTypes)

import lantrel

from ..layer_points import Unserved, crs_of, parse_system, point_error, point_geometry
from .base import LantrelAlgorithm, Tally, Output, output_fields

_WRONG_AXIS = {"x": ("N", "S"), "y": ("E", "W")}


class TextError(ValueError):
    """A field value that is not a coordinate, with the reason."""


def read_coordinate(value, angular, axis):
    """One coordinate from a field value: a number, or text read as the lantrel tool reads it
    (DMS and hemisphere letters for geographic systems). Raises TextError with the reason."""
    if value is None or (hasattr(value, "isNull") and value.isNull()):
        raise TextError(f"the {axis} field is empty")
    if isinstance(value, bool):
        raise TextError(f"the {axis} field holds a Boolean, not a coordinate")
    if isinstance(value, (int, float)):
        if value != value or value in (float("inf"), float("-inf")):
            raise TextError(f"the {axis} field holds {value!r}")
        return float(value)
    text = str(value).strip()
    if not text:
        raise TextError(f"the {axis} field is empty")
    try:
        if not angular:
            return lantrel.parse_number(text)
        degrees, letter = lantrel.parse_angle(text, hemisphere=True)
    except lantrel.Error as e:
        raise TextError(f"{axis}: {e.description}") from None
    if letter in _WRONG_AXIS[axis]:
        raise TextError(f"{axis}: {text!r} names a {'latitude' if axis == 'x' else 'longitude'}"
                        " (are the fields swapped?)")
    return degrees


class TextToPoints(LantrelAlgorithm):
    NAME = "texttopoints"
    TITLE = "Coordinates in fields to points"
    HELP = ("Makes a point layer from coordinates written in two fields of a table: decimal "
            "numbers, or for a geographic system degrees, minutes and seconds as the lantrel "
            "tool reads them (84d52'23.88\"W, 84°52′23.88″ W, 84:52:23.88W, 38 12 3.24 N). "
            "The fields are read in the named system (e.g. geo/nad27, north/nad83/usft, "
            "EPSG:3089) and the points written in the output system (empty: the same). A "
            "feature whose fields cannot be read is kept with an empty geometry, "
            "lantrel_status 'failed' and the reason.")

    def initAlgorithm(self, config=None):
        self.addParameter(QgsProcessingParameterFeatureSource(
            "INPUT", "Table", [QgsProcessing.TypeVector]))
        self.addParameter(QgsProcessingParameterField(
            "X_FIELD", "Longitude or easting field", parentLayerParameterName="INPUT"))
        self.addParameter(QgsProcessingParameterField(
            "Y_FIELD", "Latitude or northing field", parentLayerParameterName="INPUT"))
        self.addParameter(QgsProcessingParameterString(
            "SYSTEM", "System of the fields", defaultValue=self.default_system("text_system")))
        self.addParameter(QgsProcessingParameterString(
            "TARGET_SYSTEM", "Output system (empty: the same)", optional=True, defaultValue=""))
        self.addParameter(QgsProcessingParameterFeatureSink("OUTPUT", "Points",
                                                            QgsProcessing.TypeVectorPoint))
        self.addOutput(QgsProcessingOutputNumber("PLACED", "Features placed"))
        self.addOutput(QgsProcessingOutputNumber("FAILED", "Features without a result"))

    def processAlgorithm(self, parameters, context, feedback):
        source = self.parameterAsSource(parameters, "INPUT", context)
        try:
            system = parse_system(self.parameterAsString(parameters, "SYSTEM", context))
            target_text = self.parameterAsString(parameters, "TARGET_SYSTEM", context).strip()
            target = parse_system(target_text) if target_text else system
            if system.is_carter or target.is_carter:
                raise Unserved("Carter locations are read by 'Carter locations to points'")
        except Unserved as e:
            self.refuse(e)
        indices = []
        for key in ("X_FIELD", "Y_FIELD"):
            name = self.parameterAsString(parameters, key, context)
            index = source.fields().lookupField(name)
            if index < 0:
                self.refuse(ValueError(f"the input has no field {name!r}"))
            indices.append(index)
        fields = output_fields(source.fields(), [])
        sink, dest = self.parameterAsSink(parameters, "OUTPUT", context, fields,
                                          QgsWkbTypes.Point, crs_of(target))
        features = list(source.getFeatures())
        n = len(features)
        xs, ys = np.full(n, np.nan), np.full(n, np.nan)
        reasons = [None] * n
        for i, f in enumerate(features):
            attributes = f.attributes()
            try:
                xs[i] = read_coordinate(attributes[indices[0]], system.angular, "x")
                ys[i] = read_coordinate(attributes[indices[1]], system.angular, "y")
            except TextError as e:
                xs[i] = ys[i] = np.nan
                reasons[i] = str(e)
        transformer = lantrel.Transformer(system, target)
        ox, oy = transformer.transform(xs, ys)
        out = Output(sink, fields)
        tally = Tally(feedback, n)
        for i, f in enumerate(features):
            if feedback.isCanceled():
                break
            message = reasons[i]
            if message is None and ox[i] != ox[i]:
                message = point_error(transformer, float(xs[i]), float(ys[i]))
            geometry = point_geometry(float(ox[i]), float(oy[i])) if message is None else \
                QgsGeometry()
            out.add(f, geometry, message, [])
            tally.count(message)
        out.flush()
        tally.report("placed")
        return {"OUTPUT": dest, "PLACED": tally.ok, "FAILED": tally.failed}
