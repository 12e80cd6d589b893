"""Angles, numbers and coordinate columns as text, read and written by the library's rules
(the ones the command-line tool reads and writes with)."""

from __future__ import annotations

import ctypes
from typing import Optional, Sequence, Tuple, Union

from ._native import E_INVALID_ARGUMENT, Error, _lib, check, declare

__all__ = ["parse_angle", "format_dms", "parse_number"]

_i16, _i32 = ctypes.c_int16, ctypes.c_int32
_P = ctypes.POINTER

declare("lantrel_angle_parse", _i32, ctypes.c_char_p, _P(ctypes.c_double), _P(ctypes.c_char),
        _P(_i16))
declare("lantrel_angle_format_dms", _i32, ctypes.c_double, _i16, _i32, _P(ctypes.c_void_p))
declare("lantrel_number_parse", _i32, ctypes.c_char_p, _P(ctypes.c_double))
declare("lantrel_coordinate_columns", _i32, ctypes.c_size_t, _P(ctypes.c_char_p),
        ctypes.c_char_p, ctypes.c_char_p, _i16, _P(_i32), _P(_i32))
declare("lantrel_string_free", None, ctypes.c_void_p)


def _text_argument(text, source: str, what: str) -> bytes:
    """The UTF-8 bytes the library reads; a NUL would cut the text short, so it is refused."""
    if not isinstance(text, str):
        raise TypeError(f"{what} must be a str, got {type(text).__name__}")
    if "\0" in text:
        raise Error(E_INVALID_ARGUMENT, source, f"cannot read {what} {text!r}: it holds a NUL")
    return text.encode("utf-8", "surrogatepass")


def parse_angle(text: str, hemisphere: bool = False) -> Union[float, Tuple[float, str]]:
    """Degrees of an angle written as the command-line tool reads it: decimal degrees
    ("-84.8733", "84.8733W") or degrees, minutes and seconds with marks, colons or, with a
    hemisphere letter, blanks ("84°52′23.88″W", "84d52'23.88\\"W", "-84:52:23.88",
    "84 52 23.88 W", "N38 12 3.24"). S and W (before or after) and a minus sign make it
    negative. Raises Error (5) with the reason for anything else: a sign and a letter, two
    letters, minutes or seconds of 60 or more, blank-separated parts without a letter.

    With ``hemisphere`` returns (degrees, letter), the letter "N", "S", "E", "W" or "" when
    none was written (it tells a latitude from a longitude)."""
    data = _text_argument(text, "lantrel:ParseAngle:", "angle")
    degrees = ctypes.c_double()
    letter = ctypes.c_char()
    check(_lib.lantrel_angle_parse(data, ctypes.byref(degrees), ctypes.byref(letter), None))
    if hemisphere:
        return degrees.value, letter.value.rstrip(b"\0").decode("ascii")
    return degrees.value


def format_dms(value: float, longitude: bool = False, decimals: int = 5) -> str:
    """Degrees written as the command-line tool writes --dms output: "84°52′23.88000″W", whole
    degrees, two-digit minutes and seconds with ``decimals`` decimals (0-12), correctly rounded
    with carries, then N/S, or E/W with ``longitude``. Raises Error (5) for decimals outside
    0-12 and values that are not finite (or of 1e9 degrees and more)."""
    if isinstance(decimals, bool) or not isinstance(decimals, int):
        raise TypeError(f"decimals must be an int, got {type(decimals).__name__}")
    if not -2**31 <= decimals < 2**31:
        decimals = -1  # refused by the library like any other count outside 0-12
    out = ctypes.c_void_p()
    check(_lib.lantrel_angle_format_dms(float(value), -1 if longitude else 0, decimals,
                                        ctypes.byref(out)))
    try:
        return ctypes.string_at(out.value).decode("utf-8")
    finally:
        _lib.lantrel_string_free(out.value)


def parse_number(text: str) -> float:
    """A finite decimal number filling the whole text (sign, digits, point, exponent), as the
    tool reads plane coordinates; blanks, "nan", "inf", hexadecimal and decimal commas raise
    Error (5)."""
    data = _text_argument(text, "lantrel:ParseNumber:", "number")
    value = ctypes.c_double()
    check(_lib.lantrel_number_parse(data, ctypes.byref(value)))
    return value.value


def coordinate_columns(names: Sequence, x: Optional[str] = None, y: Optional[str] = None,
                       carter: bool = False) -> Tuple[object, Optional[object]]:
    """The x and y columns among ``names`` (a y of None for a Carter location column), found as
    the command-line tool finds them: the columns named, else the first usual pair the names
    hold (x/y, lon/lat, long/lat, lng/lat, longitude/latitude, easting/northing, east/north;
    carter or location), exactly first and then ignoring case. Raises ValueError naming what
    was sought and the columns there are."""
    names = list(names)
    # Columns that are not text (a frame's integer labels) can only be named, never found.
    texts = [n if isinstance(n, str) else "" for n in names]
    encoded = [_text_argument(n, "lantrel:CoordinateColumns:", "column name") for n in texts]
    array = (ctypes.c_char_p * max(len(encoded), 1))(*encoded)
    wanted = [None if v is None else _text_argument(str(v), "lantrel:CoordinateColumns:",
                                                     "column name") for v in (x, y)]
    xi, yi = _i32(), _i32()
    status = _lib.lantrel_coordinate_columns(len(encoded), array, wanted[0], wanted[1],
                                             -1 if carter else 0, ctypes.byref(xi),
                                             ctypes.byref(yi))
    if status != 0:
        try:
            check(status)
        except Error as e:
            raise ValueError(e.description) from None
    return names[xi.value], (names[yi.value] if yi.value >= 0 else None)
