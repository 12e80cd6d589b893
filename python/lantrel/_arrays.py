"""Whole arrays in one library call: conversion, scale factor and convergence, Carter text.

Every array call reports failed points the same way: NaN (or None) where a point failed;
``errcheck=True`` raises the first failure as Error (with its index), as pyproj's errcheck
does; ``return_errors=True`` adds an ArrayErrors result (number, source, description arrays of
the input's shape) from the same library call, so no point is ever run twice to learn why it
failed."""

from __future__ import annotations

import ctypes
import warnings
from typing import Any, Optional, Tuple, Union

import numpy as np

from . import zrGeoDatum
from ._native import (ArrayErrors, Error, ErrorList, _lib, array_errors, check, declare,
                      first_error, has, E_INVALID_ARGUMENT)
from ._systems import System, SystemLike, parse_datum, parse_system

__all__ = ["Transformer", "factors", "to_carter", "from_carter"]

_i16, _i32 = ctypes.c_int16, ctypes.c_int32
_size, _vp = ctypes.c_size_t, ctypes.c_void_p

if has("lantrel_transformer_create"):
    declare("lantrel_transformer_create", _i32, _i32, _i32, _i32, _i32, _i32, _i32, _i16,
            ctypes.POINTER(_vp))
    declare("lantrel_transformer_release", None, _vp)
if has("lantrel_transformer_transform_detailed"):
    declare("lantrel_transformer_transform_detailed", _i32, _vp, _size, _vp, _vp, _vp, _vp,
            _vp, _vp)
    declare("lantrel_factors_detailed", _i32, _i32, _i32, _i32, _i16, _size, _vp, _vp, _vp,
            _vp, _vp, _vp)
    declare("lantrel_carter_format_locations_detailed", _i32, _i32, _i16, _size, _vp, _vp,
            _vp, _vp, _vp)
    declare("lantrel_carter_read_locations_detailed", _i32, _i32, _i16, _size, _vp, _vp, _vp,
            _vp, _vp)
_u32 = ctypes.c_uint32
if has("lantrel_transformer_transform_threaded"):
    declare("lantrel_transformer_transform_threaded", _i32, _vp, _size, _vp, _vp, _vp, _vp,
            _vp, _vp, _u32)
    declare("lantrel_factors_threaded", _i32, _i32, _i32, _i32, _i16, _size, _vp, _vp, _vp,
            _vp, _vp, _vp, _u32)
    declare("lantrel_carter_format_locations_threaded", _i32, _i32, _i16, _size, _vp, _vp,
            _vp, _vp, _vp, _u32)
    declare("lantrel_carter_read_locations_threaded", _i32, _i32, _i16, _size, _vp, _vp, _vp,
            _vp, _vp, _u32)
    declare("lantrel_locator_locate_matches_threaded", _i32, _vp, _size, _vp, _vp, _i32, _vp,
            _vp, _vp, _u32)
if has("lantrel_region_check"):
    declare("lantrel_region_check", _i32, _i32, _i32, _i32, _size, _vp, _vp, _vp, _vp)

ArrayLike = Any
Coordinates = Union[float, np.ndarray]

def _require(name: str) -> None:
    if not has(name):
        raise Error(E_INVALID_ARGUMENT, "lantrel",
                    f"the loaded library has no {name}; rebuild and reinstall lantrel")


def _threads(threads: Any) -> int:
    """The thread count an array call hands on: 1 the calling thread (the default), 0 every
    core, N at most N. Arrays below 32,768 points stay on one thread whatever it says."""
    if isinstance(threads, bool) or not isinstance(threads, (int, np.integer)):
        raise TypeError(f"threads must be an int, got {type(threads).__name__}")
    count = int(threads)
    if not 0 <= count <= 0xFFFFFFFF:
        raise ValueError(f"threads must be 0 (every core) or a positive count, got {count}")
    return count


def _array_call(name: str, threads: Any, *args) -> None:
    """Calls the library's array function ``name`` (a _detailed form or
    lantrel_locator_locate_matches), or its _threaded form with the thread count when that is
    not 1; checks the returned status."""
    count = _threads(threads)
    if count == 1:
        _require(name)
        check(getattr(_lib, name)(*args))
        return
    threaded = name[:-len("_detailed")] if name.endswith("_detailed") else name
    threaded += "_threaded"
    _require(threaded)
    check(getattr(_lib, threaded)(*args, count))


def _numbers(value: ArrayLike, name: str) -> np.ndarray:
    """value as a float64 array; text, Booleans, complex and other non-numbers are refused."""
    if isinstance(value, (str, bytes)):
        raise TypeError(f"{name} must be numbers, got text {value!r}")
    if hasattr(value, "to_numpy") and not isinstance(value, np.ndarray):
        value = value.to_numpy()  # pandas: Series, Index, nullable columns (NA -> object)
    array = np.asarray(value)
    kind = array.dtype.kind
    if kind in "iuf":
        return array.astype(np.float64, copy=False)
    if kind == "O":
        return np.array([_element(e, name) for e in array.reshape(-1).tolist()],
                        dtype=np.float64).reshape(array.shape)
    raise TypeError(f"{name} must be numbers, got an array of {array.dtype}")


def _element(value: Any, name: str) -> float:
    """One element of an object array: a number, or None / pandas.NA for a missing value."""
    if value is None or type(value).__name__ == "NAType":
        return np.nan
    if isinstance(value, (str, bytes, bool, np.bool_, complex)):
        raise TypeError(f"{name} must be numbers, got {type(value).__name__} {value!r}")
    try:
        return float(value)
    except (TypeError, ValueError):
        raise TypeError(f"{name} must be numbers, got {type(value).__name__} {value!r}") from None


def _pair(x: ArrayLike, y: ArrayLike) -> Tuple[np.ndarray, np.ndarray, Tuple[int, ...], bool]:
    """Two coordinate inputs as contiguous 1-D float64 arrays, their shape, and whether both
    were scalars."""
    xa = _numbers(x, "x")
    ya = _numbers(y, "y")
    if xa.shape != ya.shape:
        raise ValueError(f"x and y must have the same shape, got {xa.shape} and {ya.shape}")
    scalar = xa.ndim == 0
    return (np.ascontiguousarray(xa.reshape(-1)), np.ascontiguousarray(ya.reshape(-1)),
            xa.shape, scalar)


def _out(array: np.ndarray, shape: Tuple[int, ...], scalar: bool):
    return float(array[0]) if scalar else array.reshape(shape)


class _Detail:
    """What an array call asks of the library about its failed points: nothing, or the error
    list a _detailed call fills (for errcheck and return_errors)."""

    def __init__(self, errcheck: bool, return_errors: bool) -> None:
        self.list = ErrorList() if (errcheck or return_errors) else None
        self.errcheck = errcheck
        self.return_errors = return_errors

    @property
    def handle(self):
        return None if self.list is None else self.list.handle

    def records(self):
        return [] if self.list is None else self.list.records()

    def finish(self, results: tuple, n: int, shape, scalar: bool, records=None) -> tuple:
        """Raises the first failure with errcheck; adds ArrayErrors with return_errors."""
        if records is None:
            records = self.records()
        if self.errcheck:
            error = first_error(records)
            if error is not None:
                raise error
        if self.return_errors:
            return results + (array_errors(records, n, shape, scalar),)
        return results


def _ptr(array: np.ndarray) -> int:
    return array.ctypes.data


def _take_texts(pointers: np.ndarray) -> np.ndarray:
    """The library strings at `pointers` (0 for none: "") as an object array; frees them."""
    texts = np.full(pointers.size, "", dtype=object)
    string_at, free = ctypes.string_at, _lib.lantrel_string_free
    for i, address in enumerate(pointers.tolist()):
        if address:
            texts[i] = string_at(address).decode("utf-8", "replace")
            free(address)
    return texts


#: How the frame helpers and Transformer.transform(check_region=True) say a distant point
#: is taken after all.
_DISTANT_ESCAPES = {"check_region": "; check_region=False takes it",
                    "accept_distant": "; accept_distant=True takes it"}


def region_check(system: System, xs: np.ndarray, ys: np.ndarray
                 ) -> Tuple[np.ndarray, np.ndarray]:
    """The library's served-region judgement of pairs in ``system``: a status per point (0,
    or 5 far outside the served region) and the message of each refused point ("" else)."""
    _require("lantrel_region_check")
    n = xs.size
    status = np.zeros(n, dtype=np.int32)
    pointers = np.zeros(n, dtype=np.uintp)
    if n:
        check(_lib.lantrel_region_check(int(system.projection), int(system.datum),
                                        int(system.units), n, _ptr(xs), _ptr(ys), _ptr(status),
                                        _ptr(pointers)))
    return status, _take_texts(pointers)


class Transformer:
    """Converts arrays of points from one coordinate system to another, as a position converts
    each point (bit for bit), in one library call per array.

    ``src`` and ``dst`` are system texts as the command-line tool takes them
    ("north/nad27/usft", "geo", "1/1/1", "EPSG:2246") or System values. Input longitudes of
    either sign are read as west longitudes; output longitudes are negative west unless
    ``west_positive`` is True. The Carter system has no coordinate pair: use to_carter and
    from_carter. A Transformer is immutable, may be shared by threads and pickles.
    """

    def __init__(self, src: SystemLike, dst: SystemLike, west_positive: bool = False) -> None:
        self._handle = None
        self.src: System = parse_system(src)
        self.dst: System = parse_system(dst)
        self.west_positive: bool = bool(west_positive)
        self._texts = (src if isinstance(src, str) else self.src.text(),
                       dst if isinstance(dst, str) else self.dst.text())
        _require("lantrel_transformer_create")
        handle = _vp()
        check(_lib.lantrel_transformer_create(
            int(self.src.projection), int(self.src.datum), int(self.src.units),
            int(self.dst.projection), int(self.dst.datum), int(self.dst.units),
            -1 if self.west_positive else 0, ctypes.byref(handle)))
        self._handle = handle.value

    def transform(self, x: ArrayLike, y: ArrayLike, errcheck: bool = False,
                  check_region: bool = False, return_errors: bool = False, threads: int = 1):
        """Converts points: numpy arrays or any array-likes of equal shape (scalars give Python
        floats). Returns (x_out, y_out) as float64 arrays of the input's shape; points that
        fail are NaN there. With ``errcheck`` the first failing point raises Error with its
        number, source, description and index instead; with ``return_errors`` the result is
        (x_out, y_out, errors), errors an ArrayErrors of every point's error number, source
        and description (0 and "" where it converted).

        Geographic input beyond latitude +-90 or longitude +-180, and input that is not
        finite, always fails (error 5). With ``check_region`` a point far outside the served
        region (73-98 W, 33-45 N) fails too (error 5, its message naming the likely cause,
        e.g. "x and y may be swapped"), as the command-line tool and the frame helpers
        judge points.

        ``threads`` spreads a large array over threads: 1 (the default) converts on the
        calling thread, 0 on every core, N on at most N; the results are the same, bit for
        bit, whatever the count."""
        return self._transform(x, y, errcheck, "check_region" if check_region else None,
                               return_errors, threads)

    def _transform(self, x, y, errcheck, escape, return_errors=False, threads=1):
        xs, ys, shape, scalar = _pair(x, y)
        detail = _Detail(errcheck, return_errors)
        out_x, out_y, records = self._convert(xs, ys, escape, detail, threads)
        return detail.finish((_out(out_x, shape, scalar), _out(out_y, shape, scalar)), xs.size,
                             shape, scalar, records)

    def _convert(self, xs: np.ndarray, ys: np.ndarray, escape: Optional[str], detail: _Detail,
                 threads: Any = 1):
        """Converted arrays and the error records of the failed points (when detail asks
        for them); when the region is judged (escape names how a distant point is taken), a
        point the region refuses fails with the region's message."""
        n = xs.size
        out_x = np.empty(n, dtype=np.float64)
        out_y = np.empty(n, dtype=np.float64)
        status = np.zeros(n, dtype=np.int32)
        _threads(threads)
        _require("lantrel_transformer_transform_detailed")
        if n:
            _array_call("lantrel_transformer_transform_detailed", threads,
                        self._handle, n, _ptr(xs), _ptr(ys), _ptr(out_x), _ptr(out_y),
                        _ptr(status), detail.handle)
        records = detail.records()
        if escape is not None:
            region, texts = region_check(self.src, xs, ys)
            refused = (status == 0) & (region != 0)
            out_x[refused] = np.nan
            out_y[refused] = np.nan
            if detail.list is not None:
                records = sorted(records + [
                    (int(i), int(region[i]), "lantrel:Transformer:",
                     texts[i] + _DISTANT_ESCAPES[escape]) for i in np.flatnonzero(refused)])
        return out_x, out_y, records

    def __reduce__(self):
        return (Transformer, (self._texts[0], self._texts[1], self.west_positive))

    def __repr__(self) -> str:
        return (f"Transformer({self._texts[0]!r}, {self._texts[1]!r}"
                f"{', west_positive=True' if self.west_positive else ''})")

    def __del__(self) -> None:
        handle, self._handle = getattr(self, "_handle", None), None
        if handle is not None and _lib is not None:
            _lib.lantrel_transformer_release(handle)


def factors(x: ArrayLike, y: ArrayLike, system: SystemLike = "geo", west_positive: bool = False,
            errcheck: bool = False, return_errors: bool = False, threads: int = 1):
    """Grid scale factor and meridian convergence (degrees) of points given in ``system``,
    as a position's ScaleFactor and Convergence give them. Returns two float64 arrays (NaN
    where a point fails; with ``errcheck`` the first failure raises Error; with
    ``return_errors`` an ArrayErrors follows; ``threads`` as for Transformer.transform)."""
    s = parse_system(system)
    _require("lantrel_factors_detailed")
    xs, ys, shape, scalar = _pair(x, y)
    n = xs.size
    scale = np.empty(n, dtype=np.float64)
    convergence = np.empty(n, dtype=np.float64)
    status = np.zeros(n, dtype=np.int32)
    west = -1 if west_positive else 0
    detail = _Detail(errcheck, return_errors)
    _array_call("lantrel_factors_detailed", threads,
                int(s.projection), int(s.datum), int(s.units), west, n,
                _ptr(xs) if n else None, _ptr(ys) if n else None, _ptr(scale) if n else None,
                _ptr(convergence) if n else None, _ptr(status) if n else None, detail.handle)
    return detail.finish((_out(scale, shape, scalar), _out(convergence, shape, scalar)), n,
                         shape, scalar)


def to_carter(lon: ArrayLike, lat: ArrayLike, datum: Union[str, int, zrGeoDatum] = "nad27",
              zgs: bool = False, errcheck: bool = False, return_errors: bool = False,
              threads: int = 1):
    """Carter location strings of geographic points on ``datum`` (NAD 27 unless given, the
    datum the state defines Carter locations on): the default layout
    ("D45-07 1200-FNL 350-FWL") or, with ``zgs``, the other ("1200 FNL  350 FWL 07- D-45").
    Longitudes of either sign are west. Returns an object array of str of the input's shape
    (a str for scalars), None where a point fails (outside the Carter grid, latitude beyond
    ±90, NaN); with ``errcheck`` the first failure raises Error; with ``return_errors`` the
    result is (locations, errors), as for Transformer.transform; ``threads`` as there."""
    d = parse_datum(datum)
    xs, ys, shape, scalar = _pair(lon, lat)
    n = xs.size
    pointers = np.zeros(n, dtype=np.uintp)
    status = np.zeros(n, dtype=np.int32)
    result = np.empty(n, dtype=object)
    detail = _Detail(errcheck, return_errors)
    _threads(threads)
    _require("lantrel_carter_format_locations_detailed")
    if n:
        _array_call("lantrel_carter_format_locations_detailed", threads,
                    int(d), -1 if zgs else 0, n, _ptr(xs), _ptr(ys), _ptr(pointers),
                    _ptr(status), detail.handle)
        string_at, free = ctypes.string_at, _lib.lantrel_string_free
        for i, address in enumerate(pointers.tolist()):
            if address:
                result[i] = string_at(address).decode("ascii")
                free(address)
    texts = result[0] if scalar else result.reshape(shape)
    results = detail.finish((texts,), n, shape, scalar)
    return results if return_errors else texts


def from_carter(locations: ArrayLike, datum: Union[str, int, zrGeoDatum] = "nad27",
                west_positive: bool = False, errcheck: bool = False,
                return_status: bool = False, return_errors: bool = False,
                threads: int = 1):
    """Geographic longitude and latitude on ``datum`` (NAD 27 unless given, the datum the
    state defines Carter locations on) of Carter location strings in either layout (a str,
    or an array-like of str). Longitudes come out negative west unless ``west_positive``.
    Returns two float64 arrays (floats for one str), NaN where a text is not a location, names
    parts out of range or footages beyond the globe; with ``errcheck`` the first failure
    raises Error. With ``return_errors`` the result is (lon, lat, errors), as for
    Transformer.transform; ``threads`` as there. ``return_status`` (deprecated: use return_errors) gives (lon, lat,
    status, message), the error number and description of each element."""
    if return_status:
        warnings.warn("from_carter(return_status=True) is deprecated; use return_errors=True",
                      DeprecationWarning, stacklevel=2)
    d = parse_datum(datum)
    scalar = isinstance(locations, str)
    if hasattr(locations, "to_numpy") and not isinstance(locations, np.ndarray):
        locations = locations.to_numpy()
    texts = np.asarray(locations, dtype=object)
    if texts.ndim == 0 and not scalar:
        raise TypeError("locations must be a str or an array-like of str")
    shape = texts.shape
    flat = texts.reshape(-1)
    n = flat.size
    encoded = []
    for element in flat.tolist():
        if not isinstance(element, str):
            if element is None or (isinstance(element, float) and element != element):
                encoded.append(b"")  # a missing value: reported as a missing location
                continue
            raise TypeError(f"locations must be text, got {type(element).__name__} {element!r}")
        data = element.encode("utf-8", "surrogatepass")
        encoded.append(b"" if b"\0" in data else data)
    buffer = b"\0".join(encoded) + b"\0"
    lengths = np.fromiter((len(e) + 1 for e in encoded), dtype=np.uintp, count=n)
    keep = ctypes.create_string_buffer(buffer, len(buffer))
    offsets = np.zeros(n, dtype=np.uintp)
    if n > 1:
        np.cumsum(lengths[:-1], out=offsets[1:])
    pointers = offsets + np.uintp(ctypes.addressof(keep))
    lon = np.empty(n, dtype=np.float64)
    lat = np.empty(n, dtype=np.float64)
    status = np.zeros(n, dtype=np.int32)
    detail = _Detail(errcheck, return_errors or return_status)
    _threads(threads)
    _require("lantrel_carter_read_locations_detailed")
    if n:
        _array_call("lantrel_carter_read_locations_detailed", threads,
                    int(d), -1 if west_positive else 0, n, _ptr(pointers), _ptr(lon),
                    _ptr(lat), _ptr(status), detail.handle)
    del keep
    results = ((float(lon[0]), float(lat[0])) if scalar
               else (lon.reshape(shape), lat.reshape(shape)))
    results = detail.finish(results, n, shape, scalar)
    if return_status:
        errors = results[2]
        results = results[:2] + (errors.number, errors.description)
        if return_errors:
            results += (errors,)
    return results
