"""Add state, county, FIPS code, zone, quadrangle and Carter location fields to a point layer."""

import numpy as np
from qgis.core import (QgsGeometry, QgsProcessing, QgsProcessingOutputNumber,
                       QgsProcessingParameterBoolean, QgsProcessingParameterFeatureSink,
                       QgsProcessingParameterFeatureSource, QgsProcessingParameterString,
                       QgsWkbTypes)

from .. import locations
from ..layer_points import Unserved, feature_points, parse_system, source_system
from .base import LantrelAlgorithm, Tally, Output, output_fields

_EMPTY = {"text": "", "int": None, "real": None}


class AddLocationFields(LantrelAlgorithm):
    NAME = "addlocationfields"
    TITLE = "Add location fields"
    HELP = ("Adds to every point its state, county, FIPS code (state and county, e.g. 21073), "
            "the county's plane zone, the 7.5-minute quadrangle (name, tile, state), the "
            "number of states, counties and quadrangles containing it, and its Carter "
            "location on NAD 27. Optionally its coordinates in every lantrel system "
            f"({', '.join(locations.ALL_SYSTEMS)}) and the grid scale factor and meridian "
            "convergence in a plane system (empty: the layer's system when it is a plane "
            "system, else the single zone). Features without a point are kept with "
            "lantrel_status 'failed' and the reason in lantrel_message.")

    def initAlgorithm(self, config=None):
        self.addParameter(QgsProcessingParameterFeatureSource(
            "INPUT", "Point layer", [QgsProcessing.TypeVectorAnyGeometry]))
        self.addParameter(QgsProcessingParameterString(
            "SOURCE_SYSTEM", "Points' system (empty: the layer's CRS)",
            defaultValue=self.default_system("source_system"), optional=True))
        self.addParameter(QgsProcessingParameterBoolean(
            "ALL_SYSTEMS", "Add the coordinates in every system", defaultValue=False))
        self.addParameter(QgsProcessingParameterBoolean(
            "FACTORS", "Add scale factor and convergence", defaultValue=False))
        self.addParameter(QgsProcessingParameterString(
            "FACTOR_SYSTEM", "System of the scale factor and convergence", optional=True,
            defaultValue=""))
        self.addParameter(QgsProcessingParameterFeatureSink("OUTPUT", "With location fields"))
        self.addOutput(QgsProcessingOutputNumber("LOCATED", "Features located"))
        self.addOutput(QgsProcessingOutputNumber("FAILED", "Features without a result"))

    def processAlgorithm(self, parameters, context, feedback):
        source = self.parameterAsSource(parameters, "INPUT", context)
        every = self.parameterAsBool(parameters, "ALL_SYSTEMS", context)
        with_factors = self.parameterAsBool(parameters, "FACTORS", context)
        try:
            system = source_system(self.parameterAsString(parameters, "SOURCE_SYSTEM", context),
                                   source.sourceCrs())
            unserved = None
        except Unserved as e:
            system, unserved = None, str(e)
        factor_system = None
        if with_factors:
            text = self.parameterAsString(parameters, "FACTOR_SYSTEM", context).strip()
            try:
                if text:
                    factor_system = parse_system(text)
                elif system is not None and not system.angular:
                    factor_system = system
                else:
                    factor_system = parse_system(self.default_system("factor_system"))
            except Unserved as e:
                self.refuse(e)
        added = list(locations.LOCATION_FIELDS)
        systems = locations.ALL_SYSTEMS if every else ()
        for text in systems:
            added += [(name, "real") for name in locations.system_field_names(text)]
        if with_factors:
            added += list(locations.FACTOR_FIELDS)
        fields = output_fields(source.fields(), added)
        kind = source.wkbType()
        if QgsWkbTypes.geometryType(kind) != QgsWkbTypes.PointGeometry:
            kind = QgsWkbTypes.Point
        sink, dest = self.parameterAsSink(parameters, "OUTPUT", context, fields, kind,
                                          source.sourceCrs())
        features = list(source.getFeatures())
        xs, ys, reasons = feature_points(features)
        columns = {}
        if system is not None:
            columns = locations.locate(system, xs, ys, systems, factor_system)
        # One tuple of added values per feature.
        values = list(zip(*[_column(columns[name]) for name, _ in added])) if columns else []
        out = Output(sink, fields)
        tally = Tally(feedback, len(features))
        for i, f in enumerate(features):
            if feedback.isCanceled():
                break
            message = reasons[i] or unserved
            if message is None and columns["status"][i]:
                message = locations.lookup_error(system, float(xs[i]), float(ys[i]))
            if message is None:
                extra = values[i]
            else:
                extra = [_EMPTY[kind] for _, kind in added]
            # A feature without a point keeps no geometry: what it has does not fit the layer.
            geometry = QgsGeometry(f.geometry()) if reasons[i] is None else QgsGeometry()
            out.add(f, geometry, message, extra)
            tally.count(message)
        out.flush()
        tally.report("located")
        return {"OUTPUT": dest, "LOCATED": tally.ok, "FAILED": tally.failed}


def _column(array):
    """A column as Python values, as QGIS stores them: None for NaN and missing text."""
    values = np.asarray(array).tolist()
    if np.asarray(array).dtype.kind == "f":
        return [None if v != v else v for v in values]
    return values
