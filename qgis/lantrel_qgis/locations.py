"""Everything lantrel knows about points: state, county, FIPS code, plane zone, quadrangle,
Carter location (NAD 27), the coordinates in other systems, scale factor and convergence.
Shared by the location-fields algorithm, the expression functions and the map tool."""

import functools

import numpy as np

import lantrel

from .layer_points import geographic, geographic_system, point_error

#: Systems whose coordinates "every system" adds, in this order.
ALL_SYSTEMS = ("geo/nad83", "geo/nad27", "single/nad83/usft", "north/nad83/usft",
               "south/nad83/usft", "north/nad27/usft", "south/nad27/usft", "utm16/nad83/m",
               "utm17/nad83/m", "utm16/nad27/m", "utm17/nad27/m")

#: (field, kind) of the location fields, in order; kind is "text", "int" or "real".
LOCATION_FIELDS = (("state", "text"), ("state_fips", "text"), ("county", "text"),
                   ("county_fips", "text"), ("geoid", "text"), ("sp_zone", "text"),
                   ("quad", "text"), ("quad_tile", "text"), ("quad_state", "text"),
                   ("state_count", "int"), ("county_count", "int"), ("quad_count", "int"),
                   ("carter", "text"))
FACTOR_FIELDS = (("scale_factor", "real"), ("convergence", "real"))


@functools.lru_cache(maxsize=1)
def locator():
    """One loaded data file per process (the lookups need no pandas)."""
    return lantrel.Locator()


def lookup(lon, lat, datum=0):
    """The locate columns of geographic points, as a dict of 1-D arrays."""
    return locator().locate_arrays(np.asarray(lon, dtype=float), np.asarray(lat, dtype=float),
                                   datum)


def lookup_error(system, x, y):
    """Why the lookup failed at one point given in `system`, as the library words it: the
    conversion to geographic coordinates, or the position itself."""
    lon, lat = x, y
    if not system.angular:
        transformer = lantrel.Transformer(system, geographic_system(system))
        lon, lat = (float(v) for v in transformer.transform(x, y))
        if lon != lon or lat != lat:
            return point_error(transformer, x, y)
    try:
        with lantrel.ZrGeoPosition() as position:
            position.Datum = system.datum
            position.x, position.y = lon, lat
            position.StateCount
    except lantrel.Error as e:
        return e.description
    return f"the point ({x!r}, {y!r}) could not be looked up"


def system_field_names(text):
    """The two field names of one system's coordinates: geo/nad83 -> geo_nad83_x, _y."""
    stem = "".join(c if c.isalnum() else "_" for c in text.lower())
    return f"{stem}_x", f"{stem}_y"


def carter(system, lon, lat, zgs=False):
    """Carter locations (NAD 27) of geographic points on the system's datum."""
    if system.datum != lantrel.zrGeoDatum.zrNAD27:
        lon, lat = lantrel.Transformer(lantrel.parse_system("geo"),
                                       lantrel.parse_system("geo/nad27")).transform(lon, lat)
    return lantrel.to_carter(lon, lat, datum="nad27", zgs=zgs)


def locate(system, xs, ys, systems=(), factor_system=None):
    """Columns (dict of 1-D arrays) for points given in `system`: the LOCATION_FIELDS, the
    lookup status (0 or the library's error number), and, when asked, the coordinates in each
    of `systems` and the scale factor and convergence in `factor_system`."""
    lon, lat = geographic(system, xs, ys)
    datum = int(system.datum)
    columns = dict(lookup(lon, lat, datum))
    columns["carter"] = carter(system, lon, lat)
    for text in systems:
        x, y = lantrel.Transformer(system, text).transform(xs, ys)
        columns.update(zip(system_field_names(text), (x, y)))
    if factor_system is not None:
        fx, fy = (xs, ys) if factor_system == system else \
            lantrel.Transformer(system, factor_system).transform(xs, ys)
        columns["scale_factor"], columns["convergence"] = lantrel.factors(fx, fy, factor_system)
    return columns


def describe_point(system, x, y, systems=ALL_SYSTEMS, angular_decimals=8, linear_decimals=3):
    """One point in every system with its county, quadrangle and Carter location, as
    [(label, text)] for the map tool's panel and the clipboard."""
    xs, ys = np.array([x], dtype=float), np.array([y], dtype=float)
    columns = locate(system, xs, ys, systems)
    rows = []
    for text in systems:
        nx, ny = system_field_names(text)
        px, py = float(columns[nx][0]), float(columns[ny][0])
        angular = lantrel.parse_system(text).angular
        digits = angular_decimals if angular else linear_decimals
        shown = "outside the served area" if px != px else f"{px:.{digits}f}, {py:.{digits}f}"
        rows.append((text, shown))
    if columns["status"][0]:
        rows.append(("lookup", f"failed: {lookup_error(system, x, y)}"))
    rows.append(("county", columns["county"][0] or "none"))
    rows.append(("FIPS", columns["geoid"][0] or "none"))
    rows.append(("zone", columns["sp_zone"][0] or "none"))
    quad = columns["quad"][0]
    rows.append(("quadrangle", f"{quad} ({columns['quad_tile'][0]})" if quad else "none"))
    rows.append(("Carter (NAD 27)", columns["carter"][0] or "outside the Carter grid"))
    return rows
