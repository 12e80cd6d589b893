"""Convert a point layer between two lantrel systems."""

import numpy as np
from qgis.core import (QgsGeometry, QgsProcessing, QgsProcessingOutputNumber,
                       QgsProcessingParameterFeatureSink, QgsProcessingParameterFeatureSource,
                       QgsProcessingParameterString, QgsWkbTypes)

import lantrel

from ..layer_points import (Unserved, crs_of, feature_points, output_point_type, parse_system,
                            point_error, point_geometry, point_part, source_system)
from .base import LantrelAlgorithm, Tally, Output, output_fields


class ConvertLayer(LantrelAlgorithm):
    NAME = "convertlayer"
    TITLE = "Convert points between systems"
    HELP = ("Converts every point of a layer from one lantrel system to another (plane zones, "
            "UTM, geographic; NAD 27 and NAD 83 through lantrel's own NADCON grid). Systems "
            "are written as the lantrel tool takes them: north/nad27/usft, utm16/nad83/m, geo, "
            "EPSG:2246. An empty source system means the layer's CRS. Only x and y change: "
            "heights (Z) and measures (M) are carried through as they are. A feature that "
            "cannot be converted (no geometry, not a point, outside the shift window) is kept "
            "with an empty geometry, lantrel_status 'failed' and the reason in "
            "lantrel_message; the log counts them.")

    def initAlgorithm(self, config=None):
        self.addParameter(QgsProcessingParameterFeatureSource(
            "INPUT", "Point layer", [QgsProcessing.TypeVectorAnyGeometry]))
        self.addParameter(QgsProcessingParameterString(
            "SOURCE_SYSTEM", "Source system (empty: the layer's CRS)",
            defaultValue=self.default_system("source_system"), optional=True))
        self.addParameter(QgsProcessingParameterString(
            "TARGET_SYSTEM", "Target system", defaultValue=self.default_system("target_system")))
        self.addParameter(QgsProcessingParameterFeatureSink("OUTPUT", "Converted"))
        self.addOutput(QgsProcessingOutputNumber("CONVERTED", "Features converted"))
        self.addOutput(QgsProcessingOutputNumber("FAILED", "Features without a result"))

    def processAlgorithm(self, parameters, context, feedback):
        source = self.parameterAsSource(parameters, "INPUT", context)
        try:
            target = parse_system(self.parameterAsString(parameters, "TARGET_SYSTEM", context))
            if target.is_carter:
                raise Unserved("Carter locations are not a coordinate pair: use 'Add location "
                               "fields' for them")
        except Unserved as e:
            self.refuse(e)
        try:
            system = source_system(self.parameterAsString(parameters, "SOURCE_SYSTEM", context),
                                   source.sourceCrs())
            unserved = None
        except Unserved as e:
            system, unserved = None, str(e)
        fields = output_fields(source.fields(), [])
        crs = crs_of(target)
        if not crs.isValid():
            feedback.pushInfo(f"{target.describe()} has no EPSG code: the output has no CRS")
        # Only x and y change: the points keep their Z and M, and the output its Z and M.
        kind = output_point_type(source.wkbType())
        has_z, has_m = QgsWkbTypes.hasZ(kind), QgsWkbTypes.hasM(kind)
        sink, dest = self.parameterAsSink(parameters, "OUTPUT", context, fields, kind, crs)
        features = list(source.getFeatures())
        xs, ys, reasons = feature_points(features)
        ox = np.full(len(features), np.nan)
        oy = np.full(len(features), np.nan)
        if system is not None:
            transformer = lantrel.Transformer(system, target)
            ox, oy = transformer.transform(xs, ys)
        out = Output(sink, fields)
        tally = Tally(feedback, len(features))
        for i, f in enumerate(features):
            if feedback.isCanceled():
                break
            message = reasons[i] or unserved
            if message is None and ox[i] != ox[i]:
                message = point_error(transformer, float(xs[i]), float(ys[i]))
            geometry = QgsGeometry()
            if message is None:
                z = m = None
                if has_z or has_m:
                    p, _ = point_part(f.geometry())
                    z, m = (p.z() if has_z else None), (p.m() if has_m else None)
                geometry = point_geometry(float(ox[i]), float(oy[i]), z, m)
            out.add(f, geometry, message, [])
            tally.count(message)
        out.flush()
        tally.report("converted")
        return {"OUTPUT": dest, "CONVERTED": tally.ok, "FAILED": tally.failed}

