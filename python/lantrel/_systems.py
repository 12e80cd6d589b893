"""Coordinate systems named as the command-line tool names them, and the EPSG codes served."""

from __future__ import annotations

import ctypes
import numbers
from typing import Any, Dict, NamedTuple, Union

from . import zrGeoDatum, zrGeoProjection, zrGeoUnits
from ._native import Error, _lib, check, declare, E_INVALID_ARGUMENT

_i32 = ctypes.c_int32
_P = ctypes.POINTER

declare("lantrel_system_parse", _i32, ctypes.c_char_p, _P(_i32), _P(_i32), _P(_i32), _P(_i32))
declare("lantrel_system_epsg", _i32, _i32, _i32, _i32, _P(_i32))
declare("lantrel_system_epsg_count", _i32, _P(_i32))
declare("lantrel_system_epsg_entry", _i32, _i32, _P(_i32), _P(_i32), _P(_i32), _P(_i32))
declare("lantrel_system_describe", _i32, _i32, _i32, _i32, _i32, _P(ctypes.c_void_p))
declare("lantrel_string_free", None, ctypes.c_void_p)


class System(NamedTuple):
    """A coordinate system: projection, datum and units, and the EPSG code it was named by
    (0 when it was named by words or numbers)."""

    projection: zrGeoProjection
    datum: zrGeoDatum
    units: zrGeoUnits
    epsg: int = 0

    @property
    def angular(self) -> bool:
        """Whether its pairs are longitude and latitude (geographic or Carter)."""
        return self.projection in (zrGeoProjection.zrGeographic, zrGeoProjection.zrCarter)

    @property
    def is_carter(self) -> bool:
        """Whether this is the Carter system."""
        return self.projection == zrGeoProjection.zrCarter

    @property
    def epsg_code(self) -> int:
        """The EPSG code the library serves for this system, 0 when there is none."""
        out = _i32(0)
        check(_lib.lantrel_system_epsg(int(self.projection), int(self.datum), int(self.units),
                                       ctypes.byref(out)))
        return out.value

    def describe(self) -> str:
        """"north/nad83/usft (Kentucky North zone, NAD 83, US survey feet)", with
        "EPSG:CODE = " in front when the system was named by a code."""
        out = ctypes.c_void_p()
        check(_lib.lantrel_system_describe(int(self.projection), int(self.datum),
                                           int(self.units), int(self.epsg), ctypes.byref(out)))
        try:
            return ctypes.string_at(out.value).decode("utf-8")
        finally:
            _lib.lantrel_string_free(out.value)

    def text(self) -> str:
        """A text parse_system reads back as this system ("EPSG:2246" or "north/nad83/usft")."""
        if self.epsg:
            return f"EPSG:{self.epsg}"
        return self.describe().split(" ", 1)[0]


SystemLike = Union[str, int, System, Any]


def _crs_text(crs: Any) -> str:
    """The system text of an object with to_epsg() (a pyproj CRS): "EPSG:CODE", or the
    authority's name ("OGC:CRS84") when it has no EPSG code."""
    code = crs.to_epsg()
    if code is not None:
        return f"EPSG:{int(code)}"
    authority = crs.to_authority() if hasattr(crs, "to_authority") else None
    if authority:
        return f"{authority[0]}:{authority[1]}"
    name = crs.to_string() if hasattr(crs, "to_string") else repr(crs)
    raise Error(E_INVALID_ARGUMENT, "lantrel:ParseSystem:",
                f"'{name}' has no EPSG code; lantrel serves the codes lantrel.served_epsg_codes() "
                "lists, EPSG:4326 and OGC:CRS84")


def parse_system(text: SystemLike) -> System:
    """Reads a system as the tool does: PROJECTION[/DATUM[/UNITS]] ("north/nad27/usft", "geo",
    "1/1/1", "zrNorthZone/zrNAD27/zrUSFt"), "EPSG:CODE" for a served code, "EPSG:4326" or
    "OGC:CRS84" (read as geographic NAD 83, good to a few metres), an integer EPSG code, or an
    object with to_epsg() such as a pyproj CRS. "carter" without a datum is on NAD 27.
    Combinations the library would silently change are refused. Raises Error 5 with the
    reason."""
    if isinstance(text, System):
        return text
    if isinstance(text, bool):
        raise TypeError("a system text such as 'north/nad83/usft' expected, got bool")
    if isinstance(text, numbers.Integral):
        text = f"EPSG:{int(text)}"
    elif not isinstance(text, str) and hasattr(text, "to_epsg"):
        text = _crs_text(text)
    if not isinstance(text, str):
        raise TypeError(f"a system text such as 'north/nad83/usft' expected, got "
                        f"{type(text).__name__}")
    if "\0" in text:
        raise Error(E_INVALID_ARGUMENT, "lantrel:ParseSystem:", f"{text!r} is not a system name")
    p, d, u, e = _i32(), _i32(), _i32(), _i32()
    check(_lib.lantrel_system_parse(text.encode("utf-8", "surrogatepass"), ctypes.byref(p),
                                    ctypes.byref(d), ctypes.byref(u), ctypes.byref(e)))
    return System(zrGeoProjection(p.value), zrGeoDatum(d.value), zrGeoUnits(u.value), e.value)


def parse_datum(datum: Union[str, int, zrGeoDatum]) -> zrGeoDatum:
    """A datum given as zrGeoDatum, 0 / 1, or a name the tool takes ("nad83", "NAD27",
    "zrNAD27")."""
    if isinstance(datum, bool):
        raise TypeError("a datum such as 'nad83' or 'nad27' expected, got bool")
    if isinstance(datum, int):
        if datum not in (0, 1):
            raise Error(E_INVALID_ARGUMENT, "lantrel:ParseSystem:",
                        f"'{datum}' is not a datum (nad83 or nad27)")
        return zrGeoDatum(datum)
    if not isinstance(datum, str):
        raise TypeError(f"a datum such as 'nad83' or 'nad27' expected, got {type(datum).__name__}")
    if "/" in datum or not datum:
        raise Error(E_INVALID_ARGUMENT, "lantrel:ParseSystem:",
                    f"'{datum}' is not a datum (nad83 or nad27)")
    return parse_system("geo/" + datum).datum


def served_epsg_codes() -> Dict[int, System]:
    """Every EPSG code the library serves, ascending, with the system it stands for."""
    count = _i32()
    check(_lib.lantrel_system_epsg_count(ctypes.byref(count)))
    codes = {}
    for i in range(count.value):
        c, p, d, u = _i32(), _i32(), _i32(), _i32()
        check(_lib.lantrel_system_epsg_entry(i, ctypes.byref(c), ctypes.byref(p), ctypes.byref(d),
                                             ctypes.byref(u)))
        codes[c.value] = System(zrGeoProjection(p.value), zrGeoDatum(d.value), zrGeoUnits(u.value),
                                c.value)
    return codes
