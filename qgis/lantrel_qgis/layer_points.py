"""Points of a layer's features as lantrel coordinates, with the reason for every feature that
has none: the one place where a QGIS layer meets a lantrel system."""

import math

import numpy as np
from qgis.core import QgsCoordinateReferenceSystem, QgsGeometry, QgsPoint, QgsPointXY, QgsWkbTypes

import lantrel

STATUS_FIELD = "lantrel_status"
MESSAGE_FIELD = "lantrel_message"

#: Values of the status field.
OK = "ok"
FAILED = "failed"


class Unserved(Exception):
    """A layer CRS or system text lantrel cannot take."""


def system_of_crs(crs):
    """The lantrel system of a QGIS CRS: one of the EPSG codes the library serves."""
    authid = crs.authid() if crs is not None and crs.isValid() else ""
    if authid.upper().startswith("EPSG:"):
        try:
            code = int(authid[5:])
        except ValueError:
            code = 0
        if code in lantrel.served_epsg_codes():
            return lantrel.parse_system(f"EPSG:{code}")
    shown = authid or (crs.description() if crs is not None and crs.isValid() else "") or "none"
    raise Unserved(f"the layer CRS ({shown}) is not one lantrel serves; name the points' "
                   "system instead (e.g. north/nad83/usft)")


def source_system(text, crs):
    """The system the user named (a tool system text), else the one of the layer's CRS."""
    text = (text or "").strip()
    if text:
        return parse_system(text)
    return system_of_crs(crs)


def parse_system(text):
    try:
        return lantrel.parse_system(text)
    except lantrel.Error as e:
        raise Unserved(e.description) from None


def crs_of(system):
    """The QGIS CRS of a lantrel system (its EPSG code), or an invalid CRS when it has none."""
    code = system.epsg_code
    return QgsCoordinateReferenceSystem(f"EPSG:{code}") if code else QgsCoordinateReferenceSystem()


def point_part(geometry):
    """The one point (a QgsPoint, with its Z and M if any) of a point geometry, or
    (None, reason)."""
    if geometry is None or geometry.isNull() or geometry.isEmpty():
        return None, "the feature has no geometry"
    kind = geometry.wkbType()
    flat = QgsWkbTypes.flatType(kind)
    if flat == QgsWkbTypes.Point:
        return geometry.constGet(), None
    if flat == QgsWkbTypes.MultiPoint:
        parts = geometry.constGet()
        if parts.numGeometries() == 1:
            return parts.geometryN(0), None
        return None, f"a multipoint of {parts.numGeometries()} points is not one point"
    return None, f"lantrel reads points only, not a {QgsWkbTypes.displayString(kind)}"


def point_of(geometry):
    """(x, y) of a point geometry, or (None, reason)."""
    p, reason = point_part(geometry)
    return ((p.x(), p.y()), None) if p is not None else (None, reason)


def feature_points(features):
    """x and y arrays (NaN where a feature has no point) and the reason of each (None when the
    feature holds a point)."""
    n = len(features)
    xs = np.full(n, np.nan)
    ys = np.full(n, np.nan)
    reasons = [None] * n
    for i, f in enumerate(features):
        xy, reason = point_of(f.geometry())
        if xy is None:
            reasons[i] = reason
        else:
            xs[i], ys[i] = xy
    return xs, ys, reasons


def point_error(transformer, x, y):
    """Why the transformer failed at one point, as the library words it."""
    try:
        transformer.transform(x, y, errcheck=True)
    except lantrel.Error as e:
        return e.description
    return "the point could not be converted"


def geographic_system(system):
    """Geographic coordinates on the system's own datum."""
    return lantrel.parse_system("geo/nad27" if system.datum == lantrel.zrGeoDatum.zrNAD27
                                else "geo")


def geographic(system, xs, ys):
    """Geographic coordinates on the system's own datum of points given in it (plane
    coordinates are converted, longitudes and latitudes pass through)."""
    if system.angular:
        return xs, ys
    return lantrel.Transformer(system, geographic_system(system)).transform(xs, ys)


def point_geometry(x, y, z=None, m=None):
    """A point geometry, with Z and M where given (a NaN Z or M is kept as missing), or an
    empty one for an x or y that is not finite."""
    if not (math.isfinite(x) and math.isfinite(y)):
        return QgsGeometry()
    if z is None and m is None:
        return QgsGeometry.fromPointXY(QgsPointXY(x, y))
    kind = QgsWkbTypes.Point
    if z is not None:
        kind = QgsWkbTypes.addZ(kind)
    if m is not None:
        kind = QgsWkbTypes.addM(kind)
    return QgsGeometry(QgsPoint(x, y, math.nan if z is None else z, math.nan if m is None else m,
                                kind))


def output_point_type(kind):
    """The point type of an output whose features take their Z and M from a layer of `kind`."""
    out = QgsWkbTypes.Point
    if QgsWkbTypes.hasZ(kind):
        out = QgsWkbTypes.addZ(out)
    if QgsWkbTypes.hasM(kind):
        out = QgsWkbTypes.addM(out)
    return out
