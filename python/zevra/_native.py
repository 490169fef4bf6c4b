# SPDX-License-Identifier: MIT
"""The driver's exported functions as ctypes prototypes, typed from the header's declarations."""
import ctypes
import threading

from . import _library
from ._tables import FUNCTIONS

# The VISA and IVI types of the header, as ctypes.
SCALARS = {
    "ViSession": ctypes.c_uint32,
    "ViAttr": ctypes.c_uint32,
    "ViStatus": ctypes.c_int32,
    "ViInt16": ctypes.c_int16,
    "ViInt32": ctypes.c_int32,
    "ViInt64": ctypes.c_int64,
    "ViBoolean": ctypes.c_uint16,
    "ViReal64": ctypes.c_double,
    "ViChar": ctypes.c_char,
    "ViRsrc": ctypes.c_char_p,
    "ViString": ctypes.c_char_p,
    "ViConstString": ctypes.c_char_p,
}


def argument_type(type_name, pointer, array):
    base = SCALARS[type_name]
    return ctypes.POINTER(base) if pointer or array else base


class Functions:
    """Attribute access by exported name, e.g. native().ZEVRA_reset(vi)."""

    def __init__(self, library):
        for name, params, _, _ in FUNCTIONS:
            function = getattr(library, name)
            function.argtypes = [argument_type(t, pointer, array) for t, _, pointer, array in params]
            function.restype = ctypes.c_int32
            setattr(self, name, function)


_functions = None
_lock = threading.Lock()


def native():
    global _functions
    if _functions is not None:  # every call asks: no lock once loaded
        return _functions
    with _lock:
        if _functions is None:
            _functions = Functions(_library.library())
        return _functions
