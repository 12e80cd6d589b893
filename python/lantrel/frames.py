"""pandas and GeoPandas helpers: convert coordinate columns or point layers, and annotate them
with state, county, quadrangle and Carter location. pandas and geopandas are imported when a
helper is first called."""

from __future__ import annotations

from typing import Any, Optional

import numpy as np

from ._arrays import Transformer, to_carter
from ._locate import LOCATE_COLUMNS, shared_locator
from ._systems import System, SystemLike, parse_system, served_epsg_codes

__all__ = ["convert_frame", "annotate_frame", "to_system", "annotate"]


def _no_clash(frame: Any, names) -> None:
    clash = [n for n in names if n in frame.columns]
    if clash:
        raise ValueError(f"the frame already has the column(s) {clash}; rename or drop them "
                         "first")


def convert_frame(frame: Any, src: SystemLike, dst: SystemLike, x: str = "x", y: str = "y",
                  out_x: Optional[str] = None, out_y: Optional[str] = None,
                  west_positive: bool = False, errcheck: bool = False):
    """A copy of a pandas.DataFrame with the coordinate columns ``x`` and ``y`` (in ``src``)
    converted to ``dst``: written over them, or into ``out_x`` / ``out_y`` when given. Points
    that fail are NaN (or raise Error with ``errcheck``)."""
    t = Transformer(src, dst, west_positive)
    cx, cy = t.transform(frame[x], frame[y], errcheck=errcheck)
    result = frame.copy()
    result[out_x or x] = cx
    result[out_y or y] = cy
    return result


def _carter_column(lon, lat, datum, zgs):
    return to_carter(lon, lat, datum=datum, zgs=zgs)


def annotate_frame(frame: Any, lon: str = "lon", lat: str = "lat",
                   system: SystemLike = "geo", carter: bool = True, zgs: bool = False,
                   data_file: Optional[str] = None):
    """A copy of a pandas.DataFrame with the locate() columns (state, state_fips, county,
    county_fips, sp_zone, quad, quad_tile, quad_state, the three counts and status) and,
    with ``carter``, a "carter" column of location strings (None outside the grid). The
    coordinate columns are ``lon`` and ``lat`` in ``system`` (geographic NAD 83 unless
    given; a plane system's columns hold eastings and northings)."""
    s = parse_system(system)
    names = list(LOCATE_COLUMNS) + (["carter"] if carter else [])
    _no_clash(frame, names)
    xs, ys = frame[lon].to_numpy(), frame[lat].to_numpy()
    if not s.angular or s.is_carter:
        if s.is_carter:
            raise ValueError("annotate_frame needs coordinate columns, not Carter locations; "
                             "read them with lantrel.from_carter first")
        geo = parse_system("geo/nad27" if s.datum == 1 else "geo")
        xs, ys = Transformer(s, geo).transform(xs, ys)
    return _annotated(frame, xs, ys, s.datum, carter, zgs, data_file)


def _annotated(frame, xs, ys, datum, carter, zgs, data_file):
    columns = shared_locator(data_file).locate_arrays(xs, ys, datum)
    result = frame.copy()
    for name in LOCATE_COLUMNS:
        result[name] = columns[name]
    if carter:
        result["carter"] = _carter_column(xs, ys, datum, zgs)
    return result


def _layer_system(layer: Any) -> System:
    """The served system of a GeoDataFrame's CRS."""
    if layer.crs is None:
        raise ValueError("the GeoDataFrame has no CRS; set one of the EPSG codes lantrel "
                         "serves (lantrel.served_epsg_codes())")
    code = layer.crs.to_epsg()
    if code is None or code not in served_epsg_codes():
        raise ValueError(f"the GeoDataFrame's CRS ({layer.crs.to_string()}) is not one of the "
                         "EPSG codes lantrel serves (lantrel.served_epsg_codes())")
    return parse_system(f"EPSG:{code}")


def _point_coordinates(layer: Any):
    """x and y of a layer of points; missing and empty points give NaN."""
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
    if keep.any():
        xs[keep] = safe[keep].x.to_numpy()
        ys[keep] = safe[keep].y.to_numpy()
    return xs, ys


def to_system(layer: Any, dst: SystemLike, west_positive: bool = False, errcheck: bool = False):
    """A copy of a GeoDataFrame of points (its CRS one of the served EPSG codes) converted to
    ``dst``; the CRS is set to ``dst``'s EPSG code, or None where it has none. Points that fail
    get NaN coordinates (or raise Error with ``errcheck``); other geometry raises ValueError."""
    import geopandas
    src = _layer_system(layer)
    target = parse_system(dst)
    xs, ys = _point_coordinates(layer)
    cx, cy = Transformer(src, target, west_positive).transform(xs, ys, errcheck=errcheck)
    code = target.epsg_code
    crs = f"EPSG:{code}" if code else None
    points = geopandas.GeoSeries(geopandas.points_from_xy(cx, cy), index=layer.index, crs=crs)
    result = layer.copy()
    name = layer.geometry.name
    result[name] = points
    result = result.set_geometry(name)
    if not code:
        result.crs = None
    return result


def annotate(layer: Any, carter: bool = True, zgs: bool = False,
             data_file: Optional[str] = None):
    """A copy of a GeoDataFrame of points (CRS one of the served EPSG codes) with the locate()
    columns and, with ``carter``, a "carter" column, looked up on the layer's datum."""
    src = _layer_system(layer)
    names = list(LOCATE_COLUMNS) + (["carter"] if carter else [])
    _no_clash(layer, names)
    xs, ys = _point_coordinates(layer)
    if not src.angular:
        geo = parse_system("geo/nad27" if src.datum == 1 else "geo")
        xs, ys = Transformer(src, geo).transform(xs, ys)
    return _annotated(layer, xs, ys, src.datum, carter, zgs, data_file)
