"""lantrel: coordinate conversion for Kentucky and its neighbours, from Python.

A pure-Python binding of the C interface of liblantrel.so (see include/lantrel/lantrel.h).
The library is found through the LANTREL_LIBRARY environment variable, else beside this
package, else on the system's library path.

    import lantrel
    p = lantrel.ZrGeoPosition()
    p.Projection = lantrel.zrGeoProjection.zrNorthZone
    p.x, p.y = 1_640_416.67, 328_083.33
    p.Convert(lantrel.zrGeoDatum.zrNAD83, lantrel.zrGeoProjection.zrUTM16,
              lantrel.zrGeoUnits.zrMeters)

Members keep the names of the library's interfaces: properties are Python properties,
parameterised getters and methods are Python methods. Failures raise lantrel.Error, which
carries the library's error number, source and description.

Old names kept for one release (reading them warns with DeprecationWarning): LantrelError
(use Error) and ZrGeoPosition.convert (use Convert with Ref arguments).
"""

import ctypes
import ctypes.util
import datetime
import enum
import os
import re
import sys

__all__ = [
    "zrGeoDatum", "zrGeoUnits", "zrGeoProjection", "Error", "ArrayErrors", "Ref",
    "ZrGeoPosition", "zrCarter", "typelib_name", "typelib_version", "main",
    "Transformer", "System", "parse_system", "served_epsg_codes", "factors",
    "to_carter", "from_carter", "locate", "Locator",
    "convert_frame", "annotate_frame", "to_system", "annotate", "parse_angle", "format_dms",
    "parse_number", "__version__",
]

# ---- Enumerations ---------------------------------------------------------------------------


class zrGeoDatum(enum.IntEnum):
    zrNAD83 = 0
    zrNAD27 = 1


class zrGeoUnits(enum.IntEnum):
    zrDecimalDegrees = 0
    zrUSFt = 1
    zrMeters = 2
    zrIntlFt = 3
    zrMiles = 4
    zrKilometers = 5


class zrGeoProjection(enum.IntEnum):
    zrSingleZone = 0
    zrNorthZone = 1
    zrSouthZone = 2
    zrUTM16 = 3
    zrUTM17 = 4
    zrGeographic = 5
    zrCarter = 6
    moEastZone = 7
    ilWestZone = 8
    ilEastZone = 9
    inWestZone = 10
    inEastZone = 11
    ohSouthZone = 12
    wvSouthZone = 13
    vaSouthZone = 14
    tnSingleZone = 15


from ._native import (  # noqa: E402  (the library loads once, here)
    CONVERT_DONE, CONVERT_OUTSIDE_SHIFT_WINDOW, E_DATA_NOT_LOADED, E_DIVISION_BY_ZERO,
    E_INTERNAL, E_INVALID_ARGUMENT, E_INVALID_CARTER_LETTER, E_INVALID_CARTER_NUMBER,
    E_INVALID_CARTER_SECTION, E_INVALID_DATUM, E_INVALID_PROJECTION, E_INVALID_UNITS,
    E_OBJECT_NOT_SET, E_OUT_OF_MEMORY, E_OVERFLOW, E_SUBSCRIPT, OBJECT_ERROR_BASE, ArrayErrors,
    DEPRECATED_NAMES, Error, _BINDING_SOURCE, _argument_error, _lib, check as _check,
    declare as _declare, declared as _declared, deprecated as _deprecated)
from ._version import __version__  # noqa: E402

_i16, _i32, _dbl = ctypes.c_int16, ctypes.c_int32, ctypes.c_double
_P = ctypes.POINTER
_handle = ctypes.c_void_p
_text_out = _P(ctypes.c_void_p)  # char** filled with a library-allocated string

_declare("lantrel_typelib_name", ctypes.c_char_p)
_declare("lantrel_typelib_version", None, _P(_i32), _P(_i32))
_declare("lantrel_typelib_member", _i32, ctypes.c_char_p, _i32, _P(ctypes.c_char_p), _P(_i32))
_declare("lantrel_typelib_enum_member", _i32, ctypes.c_char_p, _i32, _P(ctypes.c_char_p),
         _P(_i32))
_declare("lantrel_position_create", _i32, _P(_handle))
_declare("lantrel_position_addref", None, _handle)
_declare("lantrel_position_release", None, _handle)
_declare("lantrel_position_get_carter", _i32, _handle, _P(_handle))
_declare("lantrel_position_set_carter", _i32, _handle, _handle)
_declare("lantrel_position_convert", _i32, _handle, _P(_i32), _P(_i32), _P(_i32), _P(_i32))
_declare("lantrel_position_set_path", _i32, _handle, ctypes.c_char_p, _P(_i16))
_declare("lantrel_carter_addref", None, _handle)
_declare("lantrel_carter_release", None, _handle)
_declare("lantrel_carter_is_same", _i16, _handle, _handle)
_declare("lantrel_carter_clear", _i32, _handle)
_declare("lantrel_carter_get_location_string", _i32, _handle, _i16, _text_out)
for _cls, _getters, _lets in (
    ("position",
     {"version": "text", "release_date": _dbl, "about": "text", "west_positive": _i16,
      "x": _dbl, "y": _dbl, "projection": _i32, "datum": _i32, "units": _i32,
      "state_count": _i32, "county_count": _i32, "quad_count": _i32,
      "scale_factor": _dbl, "convergence": _dbl, "in_bounds": _i16},
     {"west_positive": _i16, "x": _dbl, "y": _dbl, "projection": _i32, "datum": _i32,
      "units": _i32}),
    ("carter",
     {"fnsl": "text", "fnl": _dbl, "fsl": _dbl, "fewl": "text", "fel": _dbl, "fwl": _dbl,
      "section": _i32, "letter": "text", "number": _i32, "cell_number": _i32,
      "block_letter": "text", "block_number": _i32},
     {"fnl": _dbl, "fsl": _dbl, "fel": _dbl, "fwl": _dbl, "section": _i32,
      "letter": ctypes.c_char_p, "number": _i32, "cell_number": _i32,
      "block_letter": ctypes.c_char_p, "block_number": _i32}),
):
    for _name, _type in _getters.items():
        _declare(f"lantrel_{_cls}_get_{_name}", _i32, _handle,
                 _text_out if _type == "text" else _P(_type))
    for _name, _type in _lets.items():
        _declare(f"lantrel_{_cls}_let_{_name}", _i32, _handle, _type)
for _name in ("state_name", "county_name", "county_sp_zone", "quad_tile", "quad_name",
              "quad_state"):
    _declare(f"lantrel_position_get_{_name}", _i32, _handle, _P(_i32), _text_out)
for _name in ("state_fips", "county_fips"):
    _declare(f"lantrel_position_get_{_name}", _i32, _handle, _P(_i32), _P(_i32))
for _name in ("is_letter", "is_block_letter"):
    _declare(f"lantrel_carter_{_name}", _i32, _handle, ctypes.c_char_p, _P(_i16))
del _cls, _getters, _lets, _name, _type


def _take_text(pointer):
    """Decodes a library string and frees it."""
    if not pointer.value:
        return ""
    try:
        return ctypes.string_at(pointer.value).decode("utf-8")
    finally:
        _lib.lantrel_string_free(pointer.value)


def _text_in(value):
    """A host string as NUL-terminated UTF-8; embedded NULs cannot cross and are refused."""
    if isinstance(value, (bytes, bytearray)):
        data = bytes(value)
    elif isinstance(value, str):
        try:
            data = value.encode("utf-8")
        except UnicodeEncodeError:
            raise _argument_error() from None
    else:
        raise TypeError(f"text expected, got {type(value).__name__}")
    if b"\0" in data:
        raise _argument_error()
    return data


def _long_in(value):
    """A 32-bit signed integer; larger values overflow like an automation Long does."""
    if isinstance(value, Ref):
        value = value.value
    value = int(value)
    if not -2**31 <= value < 2**31:
        raise Error(E_OVERFLOW, _BINDING_SOURCE, "Overflow")
    return value


def _bool_in(value):
    return -1 if value else 0


def _enum_out(enumeration, value):
    try:
        return enumeration(value)
    except ValueError:
        return value


class Ref:
    """A variable passed by reference: the library may write a resolved value back into it.

        d = lantrel.Ref(-1)
        p.Convert(d, zrGeoProjection.zrUTM16)   # d.value now holds the datum Convert kept
    """

    __slots__ = ("value",)

    def __init__(self, value=-1):
        self.value = value

    def __repr__(self):
        return f"Ref({self.value!r})"


# ---- Member factories -----------------------------------------------------------------------


def _getter(function, ctype, convert=None):
    def get(self):
        out = ctype()
        _check(function(self._live(), ctypes.byref(out)))
        return convert(out.value) if convert else out.value
    return get


def _text_getter(function):
    def get(self):
        out = ctypes.c_void_p()
        _check(function(self._live(), ctypes.byref(out)))
        return _take_text(out)
    return get


def _property(cls_name, member, kind, doc=None):
    """A property backed by lantrel_<cls>_get_<member> and, when given, _let_<member>."""
    get_fn = getattr(_lib, f"lantrel_{cls_name}_get_{member}")
    if kind == "text":
        get = _text_getter(get_fn)
    elif kind == "bool":
        get = _getter(get_fn, _i16, lambda v: v != 0)
    elif kind == "long":
        get = _getter(get_fn, _i32)
    elif kind == "double":
        get = _getter(get_fn, _dbl)
    else:
        get = _getter(get_fn, _i32, lambda v, e=kind: _enum_out(e, v))
    let_name = f"lantrel_{cls_name}_let_{member}"
    if let_name not in _declared:
        return property(get, doc=doc)
    let_fn = getattr(_lib, let_name)
    if kind == "text":
        def let(self, value):
            _check(let_fn(self._live(), _text_in(value)))
    elif kind == "bool":
        def let(self, value):
            _check(let_fn(self._live(), _bool_in(value)))
    elif kind == "double":
        def let(self, value):
            _check(let_fn(self._live(), float(value)))
    else:
        def let(self, value):
            _check(let_fn(self._live(), _long_in(value)))
    return property(get, let, doc=doc)


_INDEXED_DOCS = {
    "state_name": "Name of state Index (0 = first) containing the point.",
    "state_fips": "FIPS code of state Index.",
    "county_name": "Name of county Index containing the point.",
    "county_fips": "FIPS code of county Index.",
    "county_sp_zone": 'Home-state plane zone of county Index ("North", "South" or "").',
    "quad_tile": "Tile name of quadrangle Index.",
    "quad_name": "Name of quadrangle Index.",
    "quad_state": "State text of quadrangle Index.",
}


def _indexed(member, text):
    function = getattr(_lib, f"lantrel_position_get_{member}")

    def get(self, Index=None):
        index = None if Index is None else ctypes.byref(_i32(_long_in(Index)))
        if text:
            out = ctypes.c_void_p()
            _check(function(self._live(), index, ctypes.byref(out)))
            return _take_text(out)
        out = _i32()
        _check(function(self._live(), index, ctypes.byref(out)))
        return out.value
    get.__doc__ = _INDEXED_DOCS[member]
    return get


class _Handle:
    """Owns one reference to a library object; released by close() or when collected."""

    _release = None
    _handle = None

    def _live(self):
        if self._handle is None:
            raise Error(E_OBJECT_NOT_SET, _BINDING_SOURCE,
                               "Object variable or With block variable not set")
        return self._handle

    def close(self):
        handle, self._handle = self._handle, None
        if handle is not None and _lib is not None:
            type(self)._release(handle)

    def __del__(self):
        try:
            self.close()
        except Exception:
            pass

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # A copy sharing the handle would release it twice; the library holds state (the reference
    # data, the Carter object, cached results) a new object cannot be given, so copies and
    # pickles are refused rather than made half-way.
    def _refuse_copy(self, *args):
        raise TypeError(f"{type(self).__name__} objects own a library handle and cannot be "
                        "copied or pickled; make a new one and set its properties")

    __copy__ = __deepcopy__ = __reduce_ex__ = __reduce__ = _refuse_copy


# ---- zrCarter -------------------------------------------------------------------------------


class zrCarter(_Handle):
    """One location in the Carter grid. Obtained from ZrGeoPosition.Carter, never created."""

    _release = staticmethod(_lib.lantrel_carter_release)

    def __init__(self, *args, **kwargs):
        raise TypeError("zrCarter objects are obtained from ZrGeoPosition.Carter")

    @classmethod
    def _adopt(cls, handle):
        obj = object.__new__(cls)
        obj._handle = handle
        return obj

    def __eq__(self, other):
        if not isinstance(other, zrCarter):
            return NotImplemented
        return _lib.lantrel_carter_is_same(self._handle, other._handle) != 0

    __hash__ = None

    def Clear(self):
        """Resets the location to the fresh, empty state."""
        _check(_lib.lantrel_carter_clear(self._live()))

    def LocationString(self, UseZGSFormat=False):
        """The location as one line of text ("" while no letter is set); UseZGSFormat selects
        the layout that leads with the footage calls."""
        out = ctypes.c_void_p()
        _check(_lib.lantrel_carter_get_location_string(self._live(), _bool_in(UseZGSFormat),
                                                       ctypes.byref(out)))
        return _take_text(out)

    FNSL = _property("carter", "fnsl", "text",
                    '"FNL" or "FSL": which north/south call is held.')
    FNL = _property("carter", "fnl", "double",
                    "Feet from the section's north line (writing it clears FSL).")
    FSL = _property("carter", "fsl", "double",
                    "Feet from the section's south line (writing it clears FNL).")
    FEWL = _property("carter", "fewl", "text",
                    '"FEL" or "FWL": which east/west call is held.')
    FEL = _property("carter", "fel", "double",
                    "Feet from the section's east line (writing it clears FWL).")
    FWL = _property("carter", "fwl", "double",
                    "Feet from the section's west line (writing it clears FEL).")
    Section = _property("carter", "section", "long",
                    'Section in the block, 1 to 25.')
    Letter = _property("carter", "letter", "text",
                    'Block row letter, "A" to "Z", then "AA" to "HH" (a row index such as "033" is taken too).')

    def IsLetter(self, Letter):
        """Whether the text is a block row letter ("A".."Z", "AA".."GG", any case)."""
        out = _i16()
        _check(_lib.lantrel_carter_is_letter(self._live(), _text_in(Letter), ctypes.byref(out)))
        return out.value != 0

    Number = _property("carter", "number", "long",
                    'Block column number, 0 to 92.')
    CellNumber = _property("carter", "cell_number", "long",
                    'Second name of Section (its own error texts).')
    BlockLetter = _property("carter", "block_letter", "text",
                    'Second name of Letter (its own error texts).')

    def IsBlockLetter(self, BlockLetter):
        """Second name of IsLetter."""
        out = _i16()
        _check(_lib.lantrel_carter_is_block_letter(self._live(), _text_in(BlockLetter),
                                                   ctypes.byref(out)))
        return out.value != 0

    BlockNumber = _property("carter", "block_number", "long",
                    'Second name of Number (its own error texts).')

    def __repr__(self):
        if self._handle is None:
            return "<zrCarter (released)>"
        return f"<zrCarter {self.LocationString()!r}>"


# ---- ZrGeoPosition --------------------------------------------------------------------------


class ZrGeoPosition(_Handle):
    """One point in one of sixteen coordinate systems, two datums and six units."""

    _release = staticmethod(_lib.lantrel_position_release)

    def __init__(self):
        self._handle = None
        handle = _handle()
        _check(_lib.lantrel_position_create(ctypes.byref(handle)))
        self._handle = handle.value

    @property
    def Carter(self):
        """The position's Carter object (shared: edits are seen by the position)."""
        out = _handle()
        _check(_lib.lantrel_position_get_carter(self._live(), ctypes.byref(out)))
        return zrCarter._adopt(out.value)

    @Carter.setter
    def Carter(self, carter):
        if carter is not None and not isinstance(carter, zrCarter):
            raise TypeError("a zrCarter or None expected")
        handle = None if carter is None else carter._live()
        _check(_lib.lantrel_position_set_carter(self._live(), handle))

    Version = _property("position", "version", "text",
                    'Version of the library as text.')
    ReleaseDate = _property("position", "release_date", "double",
                            "Release date as an automation date (days since 30 Dec 1899).")
    About = _property("position", "about", "text",
                    'A line about the library: name, version and copyright.')
    WestPositive = _property("position", "west_positive", "bool",
                    'Whether geographic and Carter longitudes read positive west (True) or negative (False).')
    x = _property("position", "x", "double",
                    'Easting, or longitude (read as a west magnitude whatever its sign).')
    y = _property("position", "y", "double",
                    'Northing, or latitude.')
    Projection = _property("position", "projection", zrGeoProjection,
                    'Coordinate system of the pair (zrGeoProjection); setting it relabels, never converts.')
    Datum = _property("position", "datum", zrGeoDatum,
                    'Horizontal datum of the pair (zrGeoDatum); setting it relabels, never converts.')
    Units = _property("position", "units", zrGeoUnits,
                    'Units of the pair (zrGeoUnits); setting it relabels, never converts.')
    StateCount = _property("position", "state_count", "long",
                    'Number of states containing the point (needs the reference data file).')
    StateName = _indexed("state_name", True)
    StateFIPS = _indexed("state_fips", False)
    CountyCount = _property("position", "county_count", "long",
                    'Number of counties containing the point.')
    CountyName = _indexed("county_name", True)
    CountyFIPS = _indexed("county_fips", False)
    CountySPZone = _indexed("county_sp_zone", True)
    QuadCount = _property("position", "quad_count", "long",
                    'Number of 7.5-minute quadrangles containing the point.')
    QuadTile = _indexed("quad_tile", True)
    QuadName = _indexed("quad_name", True)
    QuadState = _indexed("quad_state", True)
    ScaleFactor = _property("position", "scale_factor", "double",
                    'Grid scale factor at the point.')
    Convergence = _property("position", "convergence", "double",
                    'Meridian convergence at the point, in degrees.')

    def Convert(self, toDatum=None, toProjection=None, toUnits=None):
        """Re-expresses the point; returns 0, or 4 when a datum change was refused.

        Each target may be omitted (None), a value, or a Ref, which receives the value Convert
        resolved for it (also when it then fails). -1 means: keep the current value.
        """
        cells = []
        for argument in (toDatum, toProjection, toUnits):
            cells.append(None if argument is None else _i32(_long_in(argument)))
        result = _i32(-1)
        status = _lib.lantrel_position_convert(
            self._live(), *[None if c is None else ctypes.byref(c) for c in cells],
            ctypes.byref(result))
        for argument, cell, enumeration in zip((toDatum, toProjection, toUnits), cells,
                                               (zrGeoDatum, zrGeoProjection, zrGeoUnits)):
            if isinstance(argument, Ref):
                argument.value = _enum_out(enumeration, cell.value)
        _check(status)
        return result.value

    InBounds = _property("position", "in_bounds", "bool",
                    'Whether the point lies inside the NAD 27/NAD 83 shift window.')

    def SetPath(self, PathSpec):
        """Loads the reference data file from a folder; True when data is loaded."""
        out = _i16()
        _check(_lib.lantrel_position_set_path(self._live(), _text_in(os.fsdecode(PathSpec)),
                                              ctypes.byref(out)))
        return out.value != 0

    # Python conveniences.
    @property
    def release_date(self):
        """ReleaseDate as a datetime.date."""
        return datetime.date(1899, 12, 30) + datetime.timedelta(days=int(self.ReleaseDate))

    def convert(self, datum=-1, projection=-1, units=-1):
        """Deprecated second name of Convert: Convert with every target resolved, as
        (result, datum, projection, units). Pass Ref arguments to Convert instead."""
        import warnings
        warnings.warn("ZrGeoPosition.convert is deprecated; use Convert with Ref arguments",
                      DeprecationWarning, stacklevel=2)
        refs = Ref(datum), Ref(projection), Ref(units)
        result = self.Convert(*refs)
        return (result,) + tuple(r.value for r in refs)

    def __repr__(self):
        if self._handle is None:
            return "<ZrGeoPosition (released)>"
        return (f"<ZrGeoPosition x={self.x!r} y={self.y!r} {self.Projection.name} "
                f"{self.Datum.name} {self.Units.name}>")


# ---- Type description -----------------------------------------------------------------------


def typelib_name():
    """Name of the type library: "Lantrel"."""
    return _lib.lantrel_typelib_name().decode()


def typelib_version():
    """(major, minor) of the type library."""
    major, minor = _i32(), _i32()
    _lib.lantrel_typelib_version(ctypes.byref(major), ctypes.byref(minor))
    return major.value, minor.value


def typelib_members(interface):
    """[(name, kinds)] of "_ZrGeoPosition" or "_zrCarter" in slot order."""
    members, slot = [], 1
    name, kinds = ctypes.c_char_p(), _i32()
    while _lib.lantrel_typelib_member(interface.encode(), slot, ctypes.byref(name),
                                      ctypes.byref(kinds)) == 0:
        members.append((name.value.decode(), kinds.value))
        slot += 1
    return members


def typelib_enum(enumeration):
    """{name: value} of "zrGeoDatum", "zrGeoUnits" or "zrGeoProjection"."""
    members, index = {}, 0
    name, value = ctypes.c_char_p(), _i32()
    while _lib.lantrel_typelib_enum_member(enumeration.encode(), index, ctypes.byref(name),
                                           ctypes.byref(value)) == 0:
        members[name.value.decode()] = value.value
        index += 1
    return members


# ---- Shell host -----------------------------------------------------------------------------

_STATEMENT = re.compile(r"^(?:(Carter)\.)?([A-Za-z]\w*)(?:\((.*)\))?(?:=(.*))?$", re.S)
_ENUM_NAMES = {m.name: m for e in (zrGeoDatum, zrGeoUnits, zrGeoProjection) for m in e}
# Members whose value or argument is text: "05" is a row index there, not the number 5.
_TEXT_MEMBERS = {"Letter", "BlockLetter", "IsLetter", "IsBlockLetter", "SetPath"}


def _shell_text(text):
    if len(text) >= 2 and text[0] == text[-1] and text[0] in "'\"":
        return text[1:-1]
    return text


def _shell_value(text):
    """A literal of the shell language: enum member, True/False, number, or text."""
    text = text.strip()
    if text in _ENUM_NAMES:
        return int(_ENUM_NAMES[text])
    if text in ("True", "False"):
        return text == "True"
    if len(text) >= 2 and text[0] == text[-1] and text[0] in "'\"":
        return text[1:-1]
    for kind in (int, float):
        try:
            return kind(text)
        except ValueError:
            pass
    return text


def _shell_format(value):
    if isinstance(value, bool):
        return "True" if value else "False"
    if isinstance(value, enum.IntEnum):
        return value.name
    if isinstance(value, float):
        return repr(value)
    return str(value).replace("\r\n", "\n")


def run_statement(position, statement):
    """Runs one statement of the shell language on a position; returns the text to print or
    None. Statements: `Member=value` (property write), `Member` (property read),
    `Member(arg, ...)` (method or parameterised read), each optionally prefixed by `Carter.`.
    Convert's omitted arguments are -1; it prints `result datum projection units` with the
    targets as it resolved them."""
    match = _STATEMENT.match(statement.strip())
    if not match:
        raise _argument_error()
    carter, member, args, value = match.groups()
    target = position.Carter if carter else position
    if member.startswith("_") or not hasattr(type(target), member):
        raise Error(438, _BINDING_SOURCE, "Object doesn't support this property or method")
    if value is not None:
        if args is not None:
            raise _argument_error()
        setattr(target, member,
                _shell_text(value) if member in _TEXT_MEMBERS else _shell_value(value))
        return None
    attribute = getattr(target, member)
    if args is None and not callable(attribute):
        return _shell_format(attribute)
    if member in _TEXT_MEMBERS:
        arguments = [_shell_text(args)]
    else:
        arguments = [_shell_value(a) for a in args.split(",")] if args and args.strip() else []
    if member == "Convert":
        arguments = [Ref(a) for a in arguments + [-1] * (3 - len(arguments))]
        result = attribute(*arguments)
        return " ".join([str(result)] + [_shell_format(a.value) for a in arguments])
    result = attribute(*arguments) if callable(attribute) else attribute
    return None if result is None else _shell_format(result)


def main(argv=None):
    """Shell host: `python3 -m lantrel STATEMENT...` runs the statements on one new position
    and prints each read on its own line. An error prints `error NUMBER: SOURCE DESCRIPTION`
    to standard error and ends with status 1."""
    argv = sys.argv[1:] if argv is None else argv
    if not argv or argv[0] in ("-h", "--help"):
        print(main.__doc__.strip() + "\n\n" + run_statement.__doc__.strip())
        return 0 if argv else 2
    try:
        with ZrGeoPosition() as position:
            for statement in argv:
                output = run_statement(position, statement)
                if output is not None:
                    print(output)
    except Error as e:
        print(f"error {e.number}: {e.source} {e.description}", file=sys.stderr)
        return 1
    return 0


# ---- Arrays, lookups, frames -----------------------------------------------------------------
# Loaded on first use, so that the class binding above works without numpy.

_LAZY = {
    "System": "._systems", "parse_system": "._systems", "served_epsg_codes": "._systems",
    "Transformer": "._arrays", "factors": "._arrays", "to_carter": "._arrays",
    "from_carter": "._arrays", "Locator": "._locate", "locate": "._locate",
    "convert_frame": ".frames", "annotate_frame": ".frames", "to_system": ".frames",
    "annotate": ".frames", "parse_angle": "._text", "format_dms": "._text",
    "parse_number": "._text",
}


def __getattr__(name):
    if name in DEPRECATED_NAMES:
        _deprecated(name, DEPRECATED_NAMES[name])
        return globals()[DEPRECATED_NAMES[name]]
    module = _LAZY.get(name)
    if module is None:
        raise AttributeError(f"module 'lantrel' has no attribute {name!r}")
    import importlib
    value = getattr(importlib.import_module(module, __name__), name)
    globals()[name] = value
    return value


def __dir__():
    return sorted(set(globals()) | set(_LAZY) | set(DEPRECATED_NAMES))
