"""The map tools: click to see (and copy) a point in every system with its county, quadrangle
and Carter location; zoom to a typed Carter location, county or quadrangle."""

from qgis.core import (QgsCoordinateReferenceSystem, QgsCoordinateTransform, QgsProject,
                       QgsRectangle)
from qgis.gui import QgsMapToolEmitPoint
from qgis.PyQt.QtWidgets import QApplication, QInputDialog, QMessageBox

from . import locations, places, settings
from .layer_points import Unserved, system_of_crs

import lantrel

NAD83 = "EPSG:4269"


def canvas_point_system(crs, point):
    """(system, x, y) of a canvas point: in the canvas CRS when lantrel serves it, else moved by
    QGIS into geographic NAD 83 first."""
    try:
        return system_of_crs(crs), point.x(), point.y()
    except Unserved:
        to_geo = QgsCoordinateTransform(crs, QgsCoordinateReferenceSystem(NAD83),
                                        QgsProject.instance())
        p = to_geo.transform(point)
        return lantrel.parse_system("geo"), p.x(), p.y()


def point_report(crs, point):
    """The text the point tool shows and copies."""
    system, x, y = canvas_point_system(crs, point)
    rows = locations.describe_point(system, x, y,
                                    angular_decimals=settings.value("angular_decimals"),
                                    linear_decimals=settings.value("linear_decimals"))
    return "\n".join(f"{label}: {text}" for label, text in rows)


def zoom_rectangle(text, canvas_crs):
    """(label, QgsRectangle in the canvas CRS) of a typed place."""
    label, (west, south, east, north), authid = places.find(text)
    if west == east:  # a point: show a section's width around it
        pad = 0.004
        west, south, east, north = west - pad, south - pad, east + pad, north + pad
    transform = QgsCoordinateTransform(QgsCoordinateReferenceSystem(authid), canvas_crs,
                                       QgsProject.instance())
    return label, transform.transformBoundingBox(QgsRectangle(west, south, east, north))


class PointTool(QgsMapToolEmitPoint):
    """Shows the clicked point in every system; the text goes to the clipboard as well."""

    def __init__(self, canvas):
        super().__init__(canvas)
        self.canvasClicked.connect(self._clicked)

    def _clicked(self, point, button):
        crs = self.canvas().mapSettings().destinationCrs()
        try:
            text = point_report(crs, point)
        except lantrel.Error as e:
            text = f"lantrel: {e.description}"
        QApplication.clipboard().setText(text)
        QMessageBox.information(self.canvas(), "lantrel point (copied)", text)


def zoom_to_place(canvas):
    text, ok = QInputDialog.getText(canvas, "lantrel: zoom to",
                                    "Carter location, county or quadrangle (name or tile):")
    if not ok:
        return
    try:
        label, rectangle = zoom_rectangle(text, canvas.mapSettings().destinationCrs())
    except ValueError as e:
        QMessageBox.warning(canvas, "lantrel: zoom to", str(e))
        return
    canvas.setExtent(rectangle)
    canvas.refresh()
