"""Coordinates written as text: decimal numbers and degrees, minutes and seconds, read and
written by the rules the lantrel tool reads and writes them with.

    84d52'23.88"W   84°52′23.88″ W   84:52:23.88W   N38 12 03.24   38 12 3.24 N   -84.8733
"""

import math
import re

_NUMBER = re.compile(r"[+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?\Z")
_DEGREE = "(?:\u00b0|\u00ba|d|D)"
_MINUTE = "(?:\u2032|\u2019|')"
_SECOND = "(?:\u2033|\u201d|''|\")"
_PART = r"(\d+(?:\.\d*)?|\.\d+)"
_ANGLE = re.compile(
    r"\s*(?P<pre>[NSEWnsew])?\s*(?P<sign>[+-])?"
    rf"{_PART}"
    rf"(?:(?P<sep1>\s*{_DEGREE}\s*|:|\s+){_PART}"
    rf"(?:(?P<sep2>\s*{_MINUTE}\s*|:|\s+){_PART}(?P<mark3>\s*{_SECOND})?"
    rf"|(?P<mark2>\s*{_MINUTE}))?"
    rf"|(?P<mark1>\s*{_DEGREE}))?"
    r"\s*(?P<post>[NSEWnsew])?\s*\Z")


class TextError(ValueError):
    """A text that is not a coordinate, with the reason."""


def parse_number(text):
    """A finite decimal number filling the whole text (sign, digits, point, exponent); blanks,
    "nan", "inf", hexadecimal and thousands separators are refused."""
    t = str(text)
    if not _NUMBER.match(t):
        raise TextError(f"{t!r} is not a number")
    value = float(t)
    if not math.isfinite(value):
        raise TextError(f"{t!r} is out of range")
    return value


def parse_angle(text):
    """Degrees of an angle written as a decimal number or in degrees, minutes and seconds; S
    and W (before or after) and a minus sign make it negative. Returns (degrees, letter), the
    letter "N", "S", "E", "W" or "" when none was written."""
    t = str(text)
    m = _ANGLE.match(t)
    if not m or not t.strip():
        raise TextError(f"{t.strip()!r} is not an angle")
    pre, post, sign = m.group("pre"), m.group("post"), m.group("sign")
    if pre and post:
        raise TextError(f"{t.strip()!r} has two hemisphere letters")
    letter = (pre or post or "").upper()
    if letter and sign:
        raise TextError(f"{t.strip()!r} has both a sign and a hemisphere letter")
    parts = [g for g in (m.group(3), m.group(5), m.group(7)) if g is not None]
    blanks = any(s is not None and s.strip() == "" and s != ":"
                 for s in (m.group("sep1"), m.group("sep2")))
    if blanks and not letter:
        raise TextError(f"{t.strip()!r}: degrees, minutes and seconds separated by blanks need "
                        "a hemisphere letter (N, S, E, W)")
    if any("." in p for p in parts[:-1]):
        raise TextError(f"{t.strip()!r}: only the last of degrees, minutes and seconds may "
                        "have decimals")
    if len(parts) == 1:
        degrees = parse_number((sign or "") + parts[0])
    else:
        values = [float(p) for p in parts] + [0.0] * (3 - len(parts))
        if values[1] >= 60.0:
            raise TextError(f"{t.strip()!r}: minutes must be below 60")
        if values[2] >= 60.0:
            raise TextError(f"{t.strip()!r}: seconds must be below 60")
        degrees = values[0] + values[1] / 60.0 + values[2] / 3600.0
        if sign == "-":
            degrees = -degrees
    if letter in ("S", "W"):
        degrees = -degrees
    return degrees, letter


def format_dms(degrees, longitude, decimals=5):
    """84°52′23.88000″W: whole degrees, two-digit minutes and seconds with `decimals` (0-12)
    decimals, rounded with carries, then the hemisphere letter."""
    if not math.isfinite(degrees):
        raise TextError(f"{degrees!r} is not an angle")
    decimals = max(0, min(12, int(decimals)))
    letter = ("W" if degrees < 0 else "E") if longitude else ("S" if degrees < 0 else "N")
    # Round once, in units of the last decimal of a second, then split: carries come for free.
    scale = 10 ** decimals
    units = round(abs(degrees) * 3600 * scale)
    whole_seconds, fraction = divmod(units, scale)
    d, rest = divmod(whole_seconds, 3600)
    m, s = divmod(rest, 60)
    seconds = f"{s:02d}" + (f".{fraction:0{decimals}d}" if decimals else "")
    return f"{d}\u00b0{m:02d}\u2032{seconds}\u2033{letter}"
