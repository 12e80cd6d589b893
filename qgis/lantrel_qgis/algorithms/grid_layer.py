"""The Carter grid or the quadrangles of an extent as a polygon layer."""

from qgis.core import (QgsCoordinateReferenceSystem, QgsFeature, QgsFeatureSink, QgsFields,
                       QgsGeometry, QgsPointXY, QgsProcessing, QgsProcessingException,
                       QgsProcessingOutputNumber, QgsProcessingParameterEnum,
                       QgsProcessingParameterExtent, QgsProcessingParameterFeatureSink,
                       QgsRectangle, QgsWkbTypes)

from .. import grids
from .base import LantrelAlgorithm, field

KINDS = ("Carter blocks (NAD 27)", "Carter sections (NAD 27)", "Quadrangles (NAD 83)",
         "Counties (NAD 83)")
_CRS = ("EPSG:4267", "EPSG:4267", "EPSG:4269", "EPSG:4269")
_MAX_CELLS = 500_000


class GridLayer(LantrelAlgorithm):
    NAME = "gridlayer"
    TITLE = "Carter grid, quadrangles or counties for an extent"
    HELP = ("Writes the Carter grid's 5-minute blocks or 1-minute sections (on NAD 27, labelled "
            "D45 and D45-07), the 7.5-minute quadrangles (on NAD 83, with the name, tile and "
            "state lantrel's data file gives them) or the county outlines (on NAD 83, with "
            "name, FIPS code and GEOID: the very outlines lantrel's county lookup tests) that "
            "meet an extent.")

    def initAlgorithm(self, config=None):
        self.addParameter(QgsProcessingParameterEnum("KIND", "Areas", options=list(KINDS),
                                                     defaultValue=0))
        self.addParameter(QgsProcessingParameterExtent("EXTENT", "Extent"))
        self.addParameter(QgsProcessingParameterFeatureSink("OUTPUT", "Areas",
                                                            QgsProcessing.TypeVectorPolygon))
        self.addOutput(QgsProcessingOutputNumber("COUNT", "Areas written"))

    def processAlgorithm(self, parameters, context, feedback):
        kind = self.parameterAsEnum(parameters, "KIND", context)
        crs = QgsCoordinateReferenceSystem(_CRS[kind])
        extent = self.parameterAsExtent(parameters, "EXTENT", context, crs)
        if extent.isNull() or extent.isEmpty():
            raise QgsProcessingException("the extent is empty")
        west, south, east, north = (extent.xMinimum(), extent.yMinimum(), extent.xMaximum(),
                                    extent.yMaximum())
        fields = QgsFields()
        if kind == 3:
            for name in ("county", "county_fips", "geoid"):
                fields.append(field(name, "text"))
            counties = grids.county_outlines(west, south, east, north)
            sink, dest = self.parameterAsSink(parameters, "OUTPUT", context, fields,
                                              QgsWkbTypes.Polygon, crs)
            for name, fips, geoid, ring in counties:
                f = QgsFeature(fields)
                f.setAttributes([name, fips, geoid])
                f.setGeometry(QgsGeometry.fromPolygonXY([[QgsPointXY(x, y) for x, y in ring]]))
                sink.addFeature(f, QgsFeatureSink.FastInsert)
            feedback.pushInfo(f"{len(counties)} area(s)")
            return {"OUTPUT": dest, "COUNT": len(counties)}
        if kind == 2:
            for name in ("quad", "quad_tile", "quad_state"):
                fields.append(field(name, "text"))
            if (east - west) * (north - south) / grids.QUAD ** 2 > _MAX_CELLS:
                raise QgsProcessingException("the extent is too large for quadrangles")
            cells = [([name, tile, state], bounds)
                     for name, tile, state, bounds in grids.quad_cells(west, south, east, north)]
        else:
            fields.append(field("carter_cell", "text"))
            size = grids.SECTION if kind == 1 else grids.BLOCK
            if (east - west) * (north - south) / size ** 2 > _MAX_CELLS:
                raise QgsProcessingException("the extent is too large for that many cells")
            cells = [([label], bounds) for label, bounds in
                     grids.carter_cells(west, south, east, north, sections=kind == 1)]
        sink, dest = self.parameterAsSink(parameters, "OUTPUT", context, fields,
                                          QgsWkbTypes.Polygon, crs)
        for attributes, bounds in cells:
            f = QgsFeature(fields)
            f.setAttributes(attributes)
            f.setGeometry(QgsGeometry.fromRect(QgsRectangle(*bounds)))
            sink.addFeature(f, QgsFeatureSink.FastInsert)
        feedback.pushInfo(f"{len(cells)} area(s)")
        return {"OUTPUT": dest, "COUNT": len(cells)}

