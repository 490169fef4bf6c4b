# SPDX-License-Identifier: MIT
"""The driver's exported functions as ctypes functions, each typed from the header's declaration
the first time it is used."""
from __future__ import annotations

import ctypes
from _thread import allocate_lock

from . import _library
from ._prototypes import PROTOTYPES

TYPE_CHECKING = False
if TYPE_CHECKING:
    from typing import Any


class Functions:
    """Attribute access by exported name, e.g. native().ZEVRA_reset(vi)."""

    def __init__(self, library: ctypes.CDLL) -> None:
        self._library = library

    def __getattr__(self, name: str) -> Any:  # a ctypes function
        if name not in PROTOTYPES:
            raise AttributeError("the driver exports no %s" % name)
        function = getattr(self._library, name)
        function.argtypes = PROTOTYPES[name]
        function.restype = ctypes.c_int32
        setattr(self, name, function)  # found directly from now on
        return function


_functions: Functions | None = None
_lock = allocate_lock()


def native() -> Functions:
    """The loaded library's functions; the library is loaded on the first call."""
    global _functions
    if _functions is not None:  # every session asks: no lock once loaded
        return _functions
    with _lock:
        if _functions is None:
            _functions = Functions(_library.library())
        return _functions
