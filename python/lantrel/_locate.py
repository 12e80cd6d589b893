"""State, county and quadrangle of many points in one library call."""

from __future__ import annotations

import ctypes
import os
import threading
from typing import Any, Dict, Optional, Union

import numpy as np

from . import zrGeoDatum
from ._native import (Error, ErrorList, _lib, array_errors, check, declare, first_error, has,
                      E_INVALID_ARGUMENT)
from ._systems import parse_datum

__all__ = ["Locator", "locate", "LOCATE_COLUMNS"]

_i32, _size, _vp = ctypes.c_int32, ctypes.c_size_t, ctypes.c_void_p
_text = ctypes.POINTER(ctypes.c_char_p)
_P = ctypes.POINTER

if has("lantrel_locator_create"):
    declare("lantrel_locator_create", _i32, ctypes.c_char_p, _P(_vp))
    declare("lantrel_locator_release", None, _vp)
    declare("lantrel_locator_locate", _i32, _vp, _size, _vp, _vp, _i32, _vp, _vp)
    declare("lantrel_locator_size", _i32, _vp, _i32, _P(_i32))
    declare("lantrel_locator_state", _i32, _vp, _i32, _text, _P(_i32))
    declare("lantrel_locator_county", _i32, _vp, _i32, _text, _P(_i32), _text)
    declare("lantrel_locator_quad", _i32, _vp, _i32, _text, _text, _text)
if has("lantrel_locator_county_fips_text"):
    declare("lantrel_locator_state_fips_text", _i32, _vp, _i32, ctypes.c_char_p)
    declare("lantrel_locator_county_fips_text", _i32, _vp, _i32, ctypes.c_char_p,
            ctypes.c_char_p)
if has("lantrel_locator_outline"):
    _pd = _P(ctypes.c_double)
    declare("lantrel_locator_bounds", _i32, _vp, _i32, _i32, _pd, _pd, _pd, _pd)
    declare("lantrel_locator_outline", _i32, _vp, _i32, _i32, _vp, _vp, _size, _P(_size))
    declare("lantrel_locator_records_meeting", _i32, _vp, _i32, ctypes.c_double, ctypes.c_double,
            ctypes.c_double, ctypes.c_double, _vp, _size, _P(_size))
    declare("lantrel_locator_data_verified", _i32, _vp, _P(_i32))
if has("lantrel_locator_locate_matches"):
    declare("lantrel_locator_locate_matches", _i32, _vp, _size, _vp, _vp, _i32, _vp, _vp, _vp)

#: The table each text column of locate() comes from.
_FIELD_TABLES = {"state": "states", "state_fips": "states", "county": "counties",
                 "county_fips": "counties", "geoid": "counties", "sp_zone": "counties",
                 "quad": "quads", "quad_tile": "quads", "quad_state": "quads"}

#: The tables of a data file, by name (Locator.outline, Locator.records_meeting).
OUTLINE_TABLES = {"states": 0, "counties": 1, "quads": 2}

#: The columns locate() returns, in order.
LOCATE_COLUMNS = ("state", "state_fips", "county", "county_fips", "geoid", "sp_zone", "quad",
                  "quad_tile", "quad_state", "state_count", "county_count", "quad_count",
                  "status")

# lantrel_location_matches: every match's index (-1 past the count), then the three counts.
_MATCHES = np.dtype([("states", np.int32, (3,)), ("counties", np.int32, (3,)),
                     ("quads", np.int32, (4,)), ("state_count", np.int32),
                     ("county_count", np.int32), ("quad_count", np.int32)])

if has("lantrel_location_field_join"):
    declare("lantrel_location_field_join", _i32, _size, _text, _P(ctypes.c_char_p))

#: What joins the areas of a point on a boundary in one column (the library's rule,
#: lantrel_location_field_join, which the tool and the server share).
MATCH_SEPARATOR = ";"


def _join_field(texts) -> str:
    """The texts of one point's areas as one field, joined by the library."""
    data = [t.encode("utf-8") for t in texts]
    out = ctypes.c_char_p()
    check(_lib.lantrel_location_field_join(len(data), (ctypes.c_char_p * max(len(data), 1))(*data),
                                           ctypes.byref(out)))
    try:
        return "" if not out.value else out.value.decode("utf-8")
    finally:
        _lib.lantrel_string_free(ctypes.cast(out, _vp))


class _MatchSets:
    """The points' sets of matches in one table (indices, -1 past the count): a point with one
    match or none takes its field from a per-record table, and each distinct set of several
    matches (points on a boundary) is joined once."""

    def __init__(self, indices: np.ndarray) -> None:
        self.first = indices[:, 0]
        self.several = np.flatnonzero(indices[:, 1] >= 0) if indices.shape[1] > 1 else \
            np.empty(0, dtype=np.intp)
        self.sets = np.empty((0, indices.shape[1]), dtype=indices.dtype)
        self.which = np.empty(0, dtype=np.intp)
        if self.several.size:
            self.sets, which = np.unique(indices[self.several], axis=0, return_inverse=True)
            self.which = which.reshape(-1)

    def joined(self, texts: np.ndarray, single: np.ndarray) -> np.ndarray:
        """The column of each point: single[i] is the field of record i alone (its last entry
        the field of no record), texts[i] record i's text."""
        column = single[self.first]
        if self.several.size:
            fields = np.array([_join_field(texts[s[s >= 0]]) for s in self.sets], dtype=object)
            column[self.several] = fields[self.which]
        return column


def _decode(value: Optional[bytes]) -> str:
    return "" if not value else value.decode("utf-8")


class Locator:
    """A loaded reference data file answering state / county / quadrangle lookups for arrays
    of points. ``data_file`` None (or "") uses the file a new position finds: the one installed
    with the package. A missing file raises Error 1010. Thread-safe; pickles by its file name.
    """

    def __init__(self, data_file: Optional[Union[str, os.PathLike]] = None) -> None:
        self._handle = None
        self.data_file = None if data_file in (None, "") else os.fspath(data_file)
        if not has("lantrel_locator_create"):
            raise Error(E_INVALID_ARGUMENT, "lantrel",
                        "the loaded library has no lantrel_locator_create; rebuild and "
                        "reinstall lantrel")
        handle = _vp()
        name = None if self.data_file is None else os.fsencode(self.data_file)
        check(_lib.lantrel_locator_create(name, ctypes.byref(handle)))
        self._handle = handle.value
        self._tables = self._read_tables()

    def _size(self, table: int) -> int:
        out = _i32()
        check(_lib.lantrel_locator_size(self._handle, table, ctypes.byref(out)))
        return out.value

    def _read_tables(self) -> Dict[str, np.ndarray]:
        """Every record's texts and codes, with one extra entry at the end for 'none' so that
        an index of -1 picks it."""
        h = self._handle
        if not has("lantrel_locator_county_fips_text"):
            raise Error(E_INVALID_ARGUMENT, "lantrel",
                        "the loaded library has no lantrel_locator_county_fips_text; rebuild "
                        "and reinstall lantrel")
        states = [], []
        for i in range(self._size(0)):
            name, fips = ctypes.c_char_p(), ctypes.create_string_buffer(3)
            check(_lib.lantrel_locator_state(h, i, ctypes.byref(name), None))
            check(_lib.lantrel_locator_state_fips_text(h, i, fips))
            states[0].append(_decode(name.value))
            states[1].append(_decode(fips.value))
        counties = [], [], [], []
        for i in range(self._size(1)):
            name, zone = ctypes.c_char_p(), ctypes.c_char_p()
            fips, geoid = ctypes.create_string_buffer(4), ctypes.create_string_buffer(6)
            check(_lib.lantrel_locator_county(h, i, ctypes.byref(name), None,
                                              ctypes.byref(zone)))
            check(_lib.lantrel_locator_county_fips_text(h, i, fips, geoid))
            counties[0].append(_decode(name.value))
            counties[1].append(_decode(fips.value))
            counties[2].append(_decode(zone.value))
            counties[3].append(_decode(geoid.value))
        quads = [], [], []
        for i in range(self._size(2)):
            name, tile, state = ctypes.c_char_p(), ctypes.c_char_p(), ctypes.c_char_p()
            check(_lib.lantrel_locator_quad(h, i, ctypes.byref(name), ctypes.byref(tile),
                                            ctypes.byref(state)))
            quads[0].append(_decode(name.value))
            quads[1].append(_decode(tile.value))
            quads[2].append(_decode(state.value))

        def texts(values):
            return np.array(values + [""], dtype=object)

        return {"state": texts(states[0]), "state_fips": texts(states[1]),
                "county": texts(counties[0]), "county_fips": texts(counties[1]),
                "geoid": texts(counties[3]), "sp_zone": texts(counties[2]),
                "quad": texts(quads[0]),
                "quad_tile": texts(quads[1]), "quad_state": texts(quads[2])}

    def locate_arrays(self, lon: Any, lat: Any, datum: Union[str, int, zrGeoDatum] = "nad83",
                      errors: Optional[ErrorList] = None,
                      threads: int = 1) -> Dict[str, np.ndarray]:
        """As locate(), as a dict of 1-D numpy arrays (one entry per column); ``errors``, when
        given, receives the records of the failed points; ``threads`` as for
        Transformer.transform."""
        from ._arrays import _array_call, _pair, _ptr, _threads
        _threads(threads)
        if not has("lantrel_locator_locate_matches"):
            raise Error(E_INVALID_ARGUMENT, "lantrel",
                        "the loaded library has no lantrel_locator_locate_matches; rebuild and "
                        "reinstall lantrel")
        d = parse_datum(datum)
        xs, ys, _, _ = _pair(lon, lat)
        n = xs.size
        found = np.zeros(n, dtype=_MATCHES)
        status = np.zeros(n, dtype=np.int32)
        if n:
            _array_call("lantrel_locator_locate_matches", threads,
                        self._handle, n, _ptr(xs), _ptr(ys), int(d), _ptr(found), _ptr(status),
                        None if errors is None else errors.handle)
        t, single = self._tables, self._single_fields()
        sets = {"states": _MatchSets(found["states"]), "counties": _MatchSets(found["counties"]),
                "quads": _MatchSets(found["quads"])}
        columns = {name: sets[table].joined(t[name], single[name])
                   for name, table in _FIELD_TABLES.items()}
        return {
            **columns,
            "state_count": found["state_count"].copy(),
            "county_count": found["county_count"].copy(),
            "quad_count": found["quad_count"].copy(), "status": status,
        }

    def _single_fields(self) -> Dict[str, np.ndarray]:
        """Per text column, the field of each record alone and (last) of no record, as the
        library writes them; made once."""
        single = getattr(self, "_single", None)
        if single is None:
            if not has("lantrel_location_field_join"):
                raise Error(E_INVALID_ARGUMENT, "lantrel",
                            "the loaded library has no lantrel_location_field_join; rebuild and "
                            "reinstall lantrel")
            single = {name: np.array([_join_field([v]) for v in texts[:-1]] + [_join_field([])],
                                     dtype=object)
                      for name, texts in self._tables.items()}
            self._single = single
        return single

    def locate(self, lon: Any, lat: Any, datum: Union[str, int, zrGeoDatum] = "nad83",
               errcheck: bool = False, return_errors: bool = False, threads: int = 1):
        """See lantrel.locate."""
        import pandas
        errors = ErrorList() if (errcheck or return_errors) else None
        columns = self.locate_arrays(lon, lat, datum, errors, threads)
        records = [] if errors is None else errors.records()
        if errcheck:
            error = first_error(records)
            if error is not None:
                raise error
        index = lon.index if isinstance(lon, pandas.Series) else None
        frame = pandas.DataFrame(columns, columns=list(LOCATE_COLUMNS), index=index)
        if return_errors:
            n = len(frame)
            return frame, array_errors(records, n, (n,), False)
        return frame

    @staticmethod
    def _table(table: Union[str, int]) -> int:
        if isinstance(table, str):
            if table not in OUTLINE_TABLES:
                raise Error(E_INVALID_ARGUMENT, "lantrel:Locator:",
                            f"unknown table {table!r}; expected one of {', '.join(OUTLINE_TABLES)}")
            return OUTLINE_TABLES[table]
        return int(table)

    def size(self, table: Union[str, int]) -> int:
        """Number of records of a table ("states", "counties", "quads" or 0, 1, 2)."""
        return self._size(self._table(table))

    def bounds(self, table: Union[str, int], index: int) -> tuple:
        """(west, south, east, north) of a record, NAD 83 degrees with east-positive
        longitudes (west is negative in Kentucky), the order GIS bounding boxes use."""
        v = [ctypes.c_double() for _ in range(4)]
        check(_lib.lantrel_locator_bounds(self._handle, self._table(table), int(index),
                                          *(ctypes.byref(c) for c in v)))
        x_min, x_max, y_min, y_max = (c.value for c in v)
        return (-x_max, y_min, -x_min, y_max)

    def outline(self, table: Union[str, int], index: int) -> np.ndarray:
        """A record's outline as an (n, 2) array of NAD 83 (longitude, latitude), east-positive
        longitudes, closed (the first point repeated at the end): a state's or county's
        boundary ring, a quadrangle's four corners."""
        t, i = self._table(table), int(index)
        n = _size()
        check(_lib.lantrel_locator_outline(self._handle, t, i, None, None, 0, ctypes.byref(n)))
        x, y = np.empty(n.value), np.empty(n.value)
        check(_lib.lantrel_locator_outline(self._handle, t, i, x.ctypes.data, y.ctypes.data,
                                           n.value, ctypes.byref(n)))
        return np.column_stack((-x, y))

    def records_meeting(self, table: Union[str, int], bbox: Any) -> np.ndarray:
        """Indices of the records whose bounds meet bbox = (west, south, east, north), NAD 83
        degrees with east-positive longitudes; touching edges count."""
        west, south, east, north = (float(v) for v in bbox)
        t, n = self._table(table), _size()
        box = (-east, -west, south, north)  # the file's west-positive terms
        check(_lib.lantrel_locator_records_meeting(self._handle, t, *box, None, 0,
                                                   ctypes.byref(n)))
        found = np.empty(n.value, dtype=np.int32)
        check(_lib.lantrel_locator_records_meeting(self._handle, t, *box, found.ctypes.data,
                                                   n.value, ctypes.byref(n)))
        return found

    @property
    def data_verified(self) -> bool:
        """The data file carried a content checksum and it matched."""
        out = _i32()
        check(_lib.lantrel_locator_data_verified(self._handle, ctypes.byref(out)))
        return bool(out.value)

    def __reduce__(self):
        return (Locator, (self.data_file,))

    def __del__(self) -> None:
        handle, self._handle = getattr(self, "_handle", None), None
        if handle is not None and _lib is not None:
            _lib.lantrel_locator_release(handle)


_shared: Dict[Optional[str], Locator] = {}
_shared_lock = threading.Lock()


def shared_locator(data_file: Optional[Union[str, os.PathLike]] = None) -> Locator:
    """One Locator per data file and process, made on first use (a worker process of a
    cluster loads the file once)."""
    key = None if data_file in (None, "") else os.path.abspath(os.fspath(data_file))
    with _shared_lock:
        locator = _shared.get(key)
        if locator is None:
            locator = _shared[key] = Locator(key)
        return locator


def locate(lon: Any, lat: Any, datum: Union[str, int, zrGeoDatum] = "nad83",
           data_file: Optional[Union[str, os.PathLike]] = None, errcheck: bool = False,
           return_errors: bool = False, threads: int = 1):
    """State, county and 7.5' quadrangle of each point, as a pandas.DataFrame with one row per
    point and the columns state, state_fips, county, county_fips, geoid, sp_zone, quad,
    quad_tile, quad_state ("" where none; the FIPS codes as the zero-padded text Census
    tables join on: "21", "053", "21053"), state_count, county_count, quad_count (how many
    contain the point) and status (0, or the error number of a point that could not be
    looked up, such as 5 for NaN or a latitude beyond 90; its other columns then read as
    none). A point on a boundary belongs to every area sharing it: each column then lists
    them all, in the order a position reports them, joined by ";" exactly as the tool's
    ``lantrel locate`` writes them (split with ``frame.state.str.split(";")``); the counts
    say how many. Longitudes of either sign are west; ``datum`` "nad27" points are shifted
    as a position's lookup shifts them. A missing data file raises Error 1010; with
    ``errcheck`` the first failing point raises Error instead of reporting its status; with
    ``return_errors`` the result is (frame, errors), errors an ArrayErrors of every point.
    ``threads`` spreads a large array over threads (1 the calling thread, 0 every core, N at
    most N); the result is the same whatever the count."""
    return shared_locator(data_file).locate(lon, lat, datum, errcheck, return_errors, threads)
