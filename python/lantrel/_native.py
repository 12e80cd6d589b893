"""The shared library, its error record and the error class every part of the package raises.

The library is found through the LANTREL_LIBRARY environment variable (only that file is then
tried), else beside this package (where pip installs it with its reference data file), else on
the system's library path.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import os
from typing import Optional

__all__ = ["Error", "LantrelError"]

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


#: The name the by-name class binding has always used for Error.
LantrelError = Error


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
_lib.lantrel_last_error_number.restype = ctypes.c_int32
_lib.lantrel_last_error_number.argtypes = []
_lib.lantrel_last_error_source.restype = ctypes.c_char_p
_lib.lantrel_last_error_source.argtypes = []
_lib.lantrel_last_error_description.restype = ctypes.c_char_p
_lib.lantrel_last_error_description.argtypes = []


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


def declare(name: str, restype, *argtypes):
    """Sets the C signature of one library function and returns it."""
    function = getattr(_lib, name)
    function.restype = restype
    function.argtypes = list(argtypes)
    return function


def has(name: str) -> bool:
    """Whether the loaded library exports a function."""
    return hasattr(_lib, name)
