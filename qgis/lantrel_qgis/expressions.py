"""Expression functions of the group "lantrel" (field calculator, labels, virtual fields).

    lantrel_carter($geometry)                       'D45-07 1200-FNL 350-FWL' (NAD 27)
    lantrel_county($geometry [, system, part])      county name, or its 'fips' / 'zone'
    lantrel_quad($geometry [, system, part])        quadrangle name, or its 'tile' / 'state'
    lantrel_convert(x, y, 'north/nad27', 'utm16')   a point in the target system
    lantrel_dms(-84.8733, 'lon' [, decimals])       '84°52′23.88000″W'

A geometry is read in `system` when given, else in the layer's CRS (@layer_crs). Failures set
the expression's error text.
"""

import numpy as np
from qgis.core import QgsExpression, QgsExpressionFunction, QgsGeometry, QgsPointXY

import lantrel

from . import locations
from .layer_points import Unserved, geographic, parse_system, point_of, system_of_crs

GROUP = "lantrel"


class _Failure(Exception):
    pass


def _system(text, context):
    try:
        if text:
            return parse_system(str(text))
        crs_text = context.variable("layer_crs") if context is not None else None
        if not crs_text:
            raise _Failure("no system given and no layer CRS in the expression's context")
        from qgis.core import QgsCoordinateReferenceSystem
        return system_of_crs(QgsCoordinateReferenceSystem(str(crs_text)))
    except Unserved as e:
        raise _Failure(str(e)) from None


def _point_argument(geometry):
    """The (x, y) of a point geometry given as the first argument, or a _Failure saying why not."""
    if not isinstance(geometry, QgsGeometry):
        raise _Failure("the first argument must be a geometry")
    xy, reason = point_of(geometry)
    if xy is None:
        raise _Failure(reason)
    return xy


def _locate_geometry(geometry, system_text, context):
    xy = _point_argument(geometry)
    system = _system(system_text, context)
    columns = locations.locate(system, np.array([xy[0]]), np.array([xy[1]]))
    if columns["status"][0]:
        raise _Failure(locations.lookup_error(system, xy[0], xy[1]))
    return {name: values[0] for name, values in columns.items()}


def _part(columns, part, choices):
    key = choices.get(str(part or "").lower())
    if key is None:
        raise _Failure(f"part must be one of {', '.join(sorted(k for k in choices if k))}")
    value = columns[key]
    return value if isinstance(value, str) else int(value)


def _carter(values, context):
    geometry, system_text, zgs = values
    xy = _point_argument(geometry)
    system = _system(system_text, context)
    lon, lat = geographic(system, np.array([xy[0]]), np.array([xy[1]]))
    return locations.carter(system, lon, lat, zgs=bool(zgs))[0]


def _county(values, context):
    geometry, system, part = values
    columns = _locate_geometry(geometry, system, context)
    return _part(columns, part, {"": "county", "name": "county", "fips": "geoid",
                                 "zone": "sp_zone"}) or None


def _quad(values, context):
    geometry, system, part = values
    columns = _locate_geometry(geometry, system, context)
    return _part(columns, part, {"": "quad", "name": "quad", "tile": "quad_tile",
                                 "state": "quad_state"}) or None


def _convert(values, context):
    x, y, source, target = values
    try:
        transformer = lantrel.Transformer(parse_system(str(source)), parse_system(str(target)))
        ox, oy = transformer.transform(float(x), float(y), errcheck=True)
    except Unserved as e:
        raise _Failure(str(e)) from None
    except lantrel.Error as e:
        raise _Failure(e.description) from None
    except (TypeError, ValueError):
        raise _Failure("x and y must be numbers") from None
    return QgsGeometry.fromPointXY(QgsPointXY(ox, oy))


def _dms(values, context):
    value, axis, decimals = values
    kind = str(axis or "").lower()
    if kind not in ("lon", "lat", "x", "y"):
        raise _Failure("axis must be 'lon' or 'lat'")
    try:
        # Decimals beyond 0-12 have always been taken as the nearest of them here.
        places = max(0, min(12, int(decimals)))
        return lantrel.format_dms(float(value), kind in ("lon", "x"), places)
    except lantrel.Error as e:
        raise _Failure(e.description) from None
    except (TypeError, ValueError) as e:
        raise _Failure(str(e)) from None


class LantrelFunction(QgsExpressionFunction):
    """One lantrel function: `body(values, context)` returns the result or raises _Failure."""

    def __init__(self, name, parameters, body, help_text):
        params = [QgsExpressionFunction.Parameter(p, optional, default)
                  for p, optional, default in parameters]
        super().__init__(name, params, GROUP, f"<h3>{name}</h3><p>{help_text}</p>")
        self.body = body

    def func(self, values, context, parent, node):
        try:
            return self.body(list(values), context)
        except _Failure as e:
            parent.setEvalErrorString(f"{self.name()}: {e}")
        except lantrel.Error as e:
            parent.setEvalErrorString(f"{self.name()}: {e.description}")
        return None

    def usesGeometry(self, node):
        return True


_GEOMETRY = [("geometry", False, None), ("system", True, "")]
FUNCTIONS = (
    ("lantrel_carter", _GEOMETRY + [("zgs", True, False)], _carter,
     "Carter location (NAD 27) of a point: lantrel_carter($geometry); system (optional) "
     "names the geometry's system when it is not the layer CRS; zgs true gives the "
     "footage-first layout. NULL outside the Carter grid."),
    ("lantrel_county", _GEOMETRY + [("part", True, "name")], _county,
     "County of a point: its name, or part 'fips' (e.g. 21073) or 'zone' (North/South). "
     "NULL outside Kentucky."),
    ("lantrel_quad", _GEOMETRY + [("part", True, "name")], _quad,
     "7.5-minute quadrangle of a point: its name, or part 'tile' or 'state'."),
    ("lantrel_convert", [("x", False, None), ("y", False, None), ("from", False, None),
                         ("to", False, None)], _convert,
     "The point (x, y) of system 'from' in system 'to', as a point geometry: "
     "lantrel_convert(1640416.67, 328083.33, 'north/nad83/usft', 'utm16')."),
    ("lantrel_dms", [("value", False, None), ("axis", False, None), ("decimals", True, 5)],
     _dms, "An angle in degrees, minutes and seconds: lantrel_dms(-84.8733, 'lon') gives "
     "84°52′23.88000″W; axis 'lon' or 'lat'."),
)

_registered = []


def register():
    """Registers the functions (again, if an older copy is registered)."""
    unregister()
    for name, parameters, body, help_text in FUNCTIONS:
        if QgsExpression.isFunctionName(name):
            QgsExpression.unregisterFunction(name)
        function = LantrelFunction(name, parameters, body, help_text)
        if QgsExpression.registerFunction(function):
            _registered.append(function)


def unregister():
    # Each function is taken out of QGIS's list while this module still holds it: dropping the
    # last reference deletes the function, which QGIS must no longer list by then.
    for function in _registered:
        QgsExpression.unregisterFunction(function.name())
    _registered.clear()
