"""pandas and GeoPandas helpers: convert coordinate columns or point layers, and annotate them
with state, county, quadrangle and Carter location. pandas and geopandas are imported when a
helper is first called."""

from __future__ import annotations

from typing import Any, Optional

import numpy as np

from ._native import Error
from ._arrays import Transformer, region_check, to_carter
from ._locate import LOCATE_COLUMNS, shared_locator
from ._systems import System, SystemLike, parse_system
from ._text import coordinate_columns

__all__ = ["convert_frame", "annotate_frame", "to_system", "annotate"]


#: What the frame helpers add to a name the user's frame already has.
DEFAULT_SUFFIX = "_lantrel"


def _free_names(frame: Any, names, suffix: str):
    """{name: column} for the columns a helper adds: each name, or name + suffix where the frame
    already has a column of that name (a user's own "status" column stays as it is)."""
    taken = set(frame.columns)
    chosen = {}
    for name in names:
        column = name + suffix if name in taken else name
        if column in taken or column in chosen.values():
            raise ValueError(f"the frame has the columns {name!r} and {column!r}; pass another "
                             "suffix= for the added columns")
        chosen[name] = column
    return chosen


def _distant_as_missing(system: System, xs: np.ndarray, ys: np.ndarray, accept_distant: bool):
    """xs and ys with the points far outside the served region set to NaN (unless
    accept_distant), so that they fail where a lookup or conversion reports them."""
    if accept_distant:
        return xs, ys
    xs = np.array(xs, dtype=np.float64)
    ys = np.array(ys, dtype=np.float64)
    status, _ = region_check(system, xs, ys)
    refused = status != 0
    xs[refused] = np.nan
    ys[refused] = np.nan
    return xs, ys


def _coordinate_columns(frame: Any, x, y):
    """The columns named, or those the command-line tool would find in a CSV header with the
    frame's column names (x/y, lon/lat, long/lat, lng/lat, longitude/latitude,
    easting/northing, east/north; exactly first, then ignoring case)."""
    if x is not None and y is not None:
        return x, y
    return coordinate_columns(frame.columns, x, y)


def _target_names(dst: System):
    """Names of converted columns, after the target as the tool names them: lon/lat for
    geographic targets, x/y for plane ones."""
    return ("lon", "lat") if dst.angular else ("x", "y")


def convert_frame(frame: Any, src: SystemLike, dst: SystemLike, x: Optional[str] = None,
                  y: Optional[str] = None,
                  out_x: Optional[str] = None, out_y: Optional[str] = None,
                  west_positive: bool = False, errcheck: bool = False,
                  accept_distant: bool = False):
    """A copy of a pandas.DataFrame with the coordinate columns ``x`` and ``y`` (in ``src``)
    converted to ``dst``. Columns not named are found as the command-line tool finds them:
    the first of x/y, lon/lat, long/lat, lng/lat, longitude/latitude, easting/northing,
    east/north the frame has (exact names first, then ignoring case). The converted columns take the places of the source columns and
    are named after the target ("lon"/"lat" for geographic targets, "x"/"y" for plane ones),
    or are written into ``out_x`` / ``out_y`` when given (the source columns then stay).
    Points far outside the served region (73-98 W, 33-45 N) fail as the command-line tool
    fails them (the message names a likely swap of x and y) unless ``accept_distant``. Points
    that fail are NaN (or raise Error with ``errcheck``)."""
    x, y = _coordinate_columns(frame, x, y)
    if (out_x is not None or out_y is not None) and (out_x or x) == (out_y or y):
        raise ValueError(f"out_x and out_y name the same column {(out_x or x)!r}; name two "
                         "columns")
    t = Transformer(src, dst, west_positive)
    xs, ys = frame[x], frame[y]
    escape = None if accept_distant else "accept_distant"
    cx, cy = t._transform(xs, ys, errcheck, escape)
    result = frame.copy()
    if out_x is not None or out_y is not None:
        result[out_x or x] = cx
        result[out_y or y] = cy
        return result
    new_x, new_y = _target_names(t.dst)
    clash = [n for n in (new_x, new_y) if n in frame.columns and n not in (x, y)]
    if clash:
        raise ValueError(f"the frame already has the column(s) {clash}; name the converted "
                         "columns with out_x= and out_y=")
    result[x] = cx
    result[y] = cy
    return result.rename(columns={x: new_x, y: new_y})


def _carter_column(lon, lat, datum, zgs):
    return to_carter(lon, lat, datum=datum, zgs=zgs)


def annotate_frame(frame: Any, lon: Optional[str] = None, lat: Optional[str] = None,
                   system: SystemLike = "geo", carter: bool = True, zgs: bool = False,
                   data_file: Optional[str] = None, accept_distant: bool = False,
                   suffix: str = DEFAULT_SUFFIX):
    """A copy of a pandas.DataFrame with the locate() columns (state, state_fips, county,
    county_fips, geoid, sp_zone, quad, quad_tile, quad_state, the three counts and status)
    and, with ``carter``, a "carter" column of location strings (None outside the grid). A
    column the frame has already keeps its place and values; the added one is named with
    ``suffix`` ("status_lantrel"). The coordinate columns are ``lon`` and ``lat`` in
    ``system`` (geographic NAD 83 unless given; a plane system's columns hold eastings and
    northings); columns not named are found as convert_frame finds them. Points far outside the served region get status 5 and no areas unless
    ``accept_distant``."""
    s = parse_system(system)
    if s.is_carter:
        raise ValueError("annotate_frame needs coordinate columns, not Carter locations; "
                         "read them with lantrel.from_carter first")
    lon, lat = _coordinate_columns(frame, lon, lat)
    names = _free_names(frame, list(LOCATE_COLUMNS) + (["carter"] if carter else []), suffix)
    xs, ys = _distant_as_missing(s, frame[lon].to_numpy(), frame[lat].to_numpy(),
                                 accept_distant)
    if not s.angular:
        geo = parse_system("geo/nad27" if s.datum == 1 else "geo")
        xs, ys = Transformer(s, geo).transform(xs, ys)
    return _annotated(frame, xs, ys, s.datum, carter, zgs, data_file, names)


def _annotated(frame, xs, ys, datum, carter, zgs, data_file, names):
    columns = shared_locator(data_file).locate_arrays(xs, ys, datum)
    result = frame.copy()
    for name in LOCATE_COLUMNS:
        result[names[name]] = columns[name]
    if carter:
        result[names["carter"]] = _carter_column(xs, ys, datum, zgs)
    return result


def _layer_system(layer: Any) -> System:
    """The served system of a GeoDataFrame's CRS."""
    if layer.crs is None:
        raise ValueError("the GeoDataFrame has no CRS; set one of the EPSG codes lantrel "
                         "serves (lantrel.served_epsg_codes()) or EPSG:4326")
    try:
        return parse_system(layer.crs)
    except Error:
        raise ValueError(f"the GeoDataFrame's CRS ({layer.crs.to_string()}) is not one of the "
                         "EPSG codes lantrel serves (lantrel.served_epsg_codes())") from None


def _point_coordinates(layer: Any):
    """x, y and z of a layer of points (z None when no point has one); missing and empty
    points give NaN."""
    geometry = layer.geometry
    kinds = geometry.geom_type
    bad = kinds.notna() & (kinds != "Point")
    if bad.any():
        where = bad.to_numpy().nonzero()[0][0]
        raise ValueError(f"lantrel converts points only: row {layer.index[where]!r} holds a "
                         f"{kinds.iloc[where]}")
    missing = geometry.isna() | geometry.is_empty
    safe = geometry.where(~missing, None)
    xs = np.full(len(layer), np.nan)
    ys = np.full(len(layer), np.nan)
    keep = ~missing.to_numpy()
    zs = None
    if keep.any():
        xs[keep] = safe[keep].x.to_numpy()
        ys[keep] = safe[keep].y.to_numpy()
        has_z = safe[keep].has_z.to_numpy()
        if has_z.any():
            zs = np.full(len(layer), np.nan)
            zs[keep] = np.where(has_z, safe[keep].z.to_numpy(), np.nan)
    return xs, ys, zs


def to_system(layer: Any, dst: SystemLike, west_positive: bool = False, errcheck: bool = False,
              accept_distant: bool = False):
    """A copy of a GeoDataFrame of points (its CRS one of the served EPSG codes, or EPSG:4326
    read as NAD 83) converted to ``dst``; heights (Z) are kept as they are. The CRS is set to
    ``dst``'s EPSG code, or None where it has none. Points far outside the served region fail
    unless ``accept_distant``. Points that fail get NaN coordinates (or raise Error with
    ``errcheck``); other geometry raises ValueError."""
    import geopandas
    src = _layer_system(layer)
    target = parse_system(dst)
    xs, ys, zs = _point_coordinates(layer)
    cx, cy = Transformer(src, target, west_positive)._transform(
        xs, ys, errcheck, None if accept_distant else "accept_distant")
    code = target.epsg_code
    crs = f"EPSG:{code}" if code else None
    points = geopandas.GeoSeries(geopandas.points_from_xy(cx, cy, zs), index=layer.index,
                                 crs=crs)
    result = layer.copy()
    name = layer.geometry.name
    result[name] = points
    result = result.set_geometry(name)
    if not code:
        result.crs = None
    return result


def annotate(layer: Any, carter: bool = True, zgs: bool = False,
             data_file: Optional[str] = None, accept_distant: bool = False,
             suffix: str = DEFAULT_SUFFIX):
    """A copy of a GeoDataFrame of points (CRS one of the served EPSG codes) with the locate()
    columns and, with ``carter``, a "carter" column, looked up on the layer's datum; names
    the layer has already and distant points are treated as annotate_frame treats them."""
    src = _layer_system(layer)
    names = _free_names(layer, list(LOCATE_COLUMNS) + (["carter"] if carter else []), suffix)
    xs, ys, _ = _point_coordinates(layer)
    xs, ys = _distant_as_missing(src, xs, ys, accept_distant)
    if not src.angular:
        geo = parse_system("geo/nad27" if src.datum == 1 else "geo")
        xs, ys = Transformer(src, geo).transform(xs, ys)
    return _annotated(layer, xs, ys, src.datum, carter, zgs, data_file, names)
