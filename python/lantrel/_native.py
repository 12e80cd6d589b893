"""The shared library, its error record and the error class every part of the package raises:
the one ctypes layer of the package (the class binding and the array face declare their
functions through it).

The library is found through the LANTREL_LIBRARY environment variable (only that file is then
tried), else beside this package (where pip installs it with its reference data file), else on
the system's library path.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import warnings
from typing import Any, List, NamedTuple, Optional, Tuple

__all__ = ["Error", "ArrayErrors"]

OBJECT_ERROR_BASE = -2147221504
E_INVALID_ARGUMENT = 5
E_OVERFLOW = 6
E_OUT_OF_MEMORY = 7
E_SUBSCRIPT = 9
E_DIVISION_BY_ZERO = 11
E_INTERNAL = 51
E_OBJECT_NOT_SET = 91
E_INVALID_DATUM = OBJECT_ERROR_BASE + 1001
E_INVALID_PROJECTION = OBJECT_ERROR_BASE + 1002
E_INVALID_UNITS = OBJECT_ERROR_BASE + 1003
E_DATA_NOT_LOADED = OBJECT_ERROR_BASE + 1010
E_INVALID_CARTER_SECTION = OBJECT_ERROR_BASE + 1011
E_INVALID_CARTER_NUMBER = OBJECT_ERROR_BASE + 1012
E_INVALID_CARTER_LETTER = OBJECT_ERROR_BASE + 1013

CONVERT_DONE = 0
CONVERT_OUTSIDE_SHIFT_WINDOW = 4

_BINDING_SOURCE = "lantrel"


class Error(Exception):
    """An error raised by the library: its number, source and description.

    Errors about one point of an array call also carry that point's position in the (flattened)
    input as ``index``; it is None for every other error.
    """

    number: int
    source: str
    description: str
    index: Optional[int]

    def __init__(self, number: int, source: str, description: str,
                 index: Optional[int] = None) -> None:
        super().__init__(number, source, description)
        self.number = number
        self.source = source
        self.description = description
        self.index = index

    def __str__(self) -> str:
        where = "" if self.index is None else f" at index {self.index}"
        return f"{self.description} (error {self.number}, {self.source}){where}"

    def __reduce__(self):
        return (type(self), (self.number, self.source, self.description, self.index))


#: Old names of the package's names, kept for one release: {old: new}. Reading an old name
#: warns with DeprecationWarning and gives the new one.
DEPRECATED_NAMES = {"LantrelError": "Error"}


def deprecated(old: str, new: str) -> None:
    """Warns that ``old`` is an old name of ``new``."""
    warnings.warn(f"lantrel.{old} is deprecated; use lantrel.{new}", DeprecationWarning,
                  stacklevel=3)


def _argument_error() -> Error:
    return Error(E_INVALID_ARGUMENT, _BINDING_SOURCE, "Invalid procedure call or argument")


def library_path() -> str:
    """The file the package loads the library from (LANTREL_LIBRARY, beside the package, or
    the system's library path)."""
    explicit = os.environ.get("LANTREL_LIBRARY")
    if explicit:
        # A named library is the only one tried: silently loading another would hide the error.
        return explicit
    beside = os.path.join(os.path.dirname(os.path.abspath(__file__)), "liblantrel.so")
    if os.path.exists(beside):
        return beside
    found = ctypes.util.find_library("lantrel")
    if found:
        return found
    raise OSError("liblantrel.so not found beside the lantrel package; install the package "
                  "with pip or set LANTREL_LIBRARY to the library's path")


_lib = ctypes.CDLL(library_path())


def last_error(index: Optional[int] = None) -> Error:
    """The calling thread's error record as an Error."""
    source = _lib.lantrel_last_error_source() or b""
    description = _lib.lantrel_last_error_description() or b""
    return Error(_lib.lantrel_last_error_number(), source.decode("utf-8", "replace"),
                 description.decode("utf-8", "replace"), index)


def check(status: int) -> None:
    """Raises the error record when a call returned a status other than 0."""
    if status != 0:
        raise last_error()


#: The library functions declared so far.
declared = set()


def declare(name: str, restype, *argtypes):
    """Sets the C signature of one library function and returns it."""
    declared.add(name)
    function = getattr(_lib, name)
    function.restype = restype
    function.argtypes = list(argtypes)
    return function


def has(name: str) -> bool:
    """Whether the loaded library exports a function."""
    return hasattr(_lib, name)


declare("lantrel_last_error_number", ctypes.c_int32)
declare("lantrel_last_error_source", ctypes.c_char_p)
declare("lantrel_last_error_description", ctypes.c_char_p)
declare("lantrel_string_free", None, ctypes.c_void_p)


# ---- The errors of the points of an array call ------------------------------------------------

_size, _vp, _i32 = ctypes.c_size_t, ctypes.c_void_p, ctypes.c_int32
if has("lantrel_point_errors_create"):
    declare("lantrel_point_errors_create", _i32, ctypes.POINTER(_vp))
    declare("lantrel_point_errors_release", None, _vp)
    declare("lantrel_point_errors_count", _i32, _vp, ctypes.POINTER(_size))
    declare("lantrel_point_errors_get", _i32, _vp, _size, ctypes.POINTER(_size),
            ctypes.POINTER(_i32), ctypes.POINTER(ctypes.c_char_p),
            ctypes.POINTER(ctypes.c_char_p))


class ArrayErrors(NamedTuple):
    """The errors of the points of an array call, as arrays of the input's shape (plain values
    for a scalar input): the error number (the point's status, 0 where it succeeded), its
    source and its description ("" where it succeeded), as the library raised them."""

    number: Any
    source: Any
    description: Any

    def first(self) -> Optional[Error]:
        """The first failed point's error (with its flat index), None when none failed."""
        import numpy as np
        numbers = np.asarray(self.number).reshape(-1)
        failed = np.flatnonzero(numbers)
        if not failed.size:
            return None
        i = int(failed[0])
        return Error(int(numbers[i]), str(np.asarray(self.source, dtype=object).reshape(-1)[i]),
                     str(np.asarray(self.description, dtype=object).reshape(-1)[i]), i)


class ErrorList:
    """A library error list for one array call (lantrel_point_errors): pass ``handle`` to a
    _detailed call, then read ``records()``."""

    def __init__(self) -> None:
        self.handle = None
        if not has("lantrel_point_errors_create"):
            raise Error(E_INVALID_ARGUMENT, _BINDING_SOURCE,
                        "the loaded library has no lantrel_point_errors_create; rebuild and "
                        "reinstall lantrel")
        handle = _vp()
        check(_lib.lantrel_point_errors_create(ctypes.byref(handle)))
        self.handle = handle.value

    def records(self) -> List[Tuple[int, int, str, str]]:
        """(index, number, source, description) of every failed point, in input order."""
        count = _size()
        check(_lib.lantrel_point_errors_count(self.handle, ctypes.byref(count)))
        index, number = _size(), _i32()
        source, description = ctypes.c_char_p(), ctypes.c_char_p()
        found = []
        for k in range(count.value):
            check(_lib.lantrel_point_errors_get(self.handle, k, ctypes.byref(index),
                                                ctypes.byref(number), ctypes.byref(source),
                                                ctypes.byref(description)))
            found.append((index.value, number.value,
                          (source.value or b"").decode("utf-8", "replace"),
                          (description.value or b"").decode("utf-8", "replace")))
        return found

    def __del__(self) -> None:
        handle, self.handle = getattr(self, "handle", None), None
        if handle is not None and _lib is not None:
            _lib.lantrel_point_errors_release(handle)


def array_errors(records, n: int, shape: Tuple[int, ...], scalar: bool) -> ArrayErrors:
    """ArrayErrors of n points of `shape` from (index, number, source, description) records."""
    import numpy as np
    number = np.zeros(n, dtype=np.int32)
    source = np.full(n, "", dtype=object)
    description = np.full(n, "", dtype=object)
    for i, num, src, text in records:
        number[i], source[i], description[i] = num, src, text
    if scalar:
        return ArrayErrors(int(number[0]), source[0], description[0])
    return ArrayErrors(number.reshape(shape), source.reshape(shape), description.reshape(shape))


def first_error(records) -> Optional[Error]:
    """The first of (index, number, source, description) records as an Error, or None."""
    if not records:
        return None
    i, num, src, text = min(records)
    return Error(num, src, text, i)
