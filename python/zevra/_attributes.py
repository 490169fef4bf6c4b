# SPDX-License-Identifier: MIT
"""Typed properties made from the driver's attribute table."""
import ctypes

from . import _errors
from ._calls import TEXT_BYTES, enum_or_int, to_c
from ._native import native

_C_TYPES = {"ViBoolean": ctypes.c_uint16, "ViInt32": ctypes.c_int32, "ViReal64": ctypes.c_double,
            "ViSession": ctypes.c_uint32}
PYTHON_TYPES = {"ViBoolean": bool, "ViInt32": int, "ViReal64": float, "ViSession": int, "ViString": str}


def _getter(constant, attribute_id, type_name, enum):
    function_name = "ZEVRA_GetAttribute" + type_name

    if type_name == "ViString":
        def get(self):
            session = self._session
            function = getattr(native(), function_name)
            size = TEXT_BYTES
            while True:
                text = ctypes.create_string_buffer(size)
                with session._lock:
                    status = function(session._vi, self._selector, attribute_id, size, text)
                    if status > size and not _errors.is_warning(status):
                        size = status  # the value needs a larger buffer
                        continue
                    if status < 0 or _errors.is_warning(status):
                        _errors.check(native(), session._vi, status, constant)
                return text.value.decode("utf-8", "replace")
        return get

    c_type = _C_TYPES[type_name]
    convert = bool if type_name == "ViBoolean" else (lambda value: enum_or_int(enum, value))

    def get(self):
        session = self._session
        value = c_type()
        with session._lock:
            status = getattr(native(), function_name)(session._vi, self._selector, attribute_id, ctypes.byref(value))
            if status:
                _errors.check(native(), session._vi, status, constant)
        return convert(value.value)
    return get


def _setter(constant, attribute_id, type_name):
    function_name = "ZEVRA_SetAttribute" + type_name
    c_input = "ViConstString" if type_name == "ViString" else type_name

    def set(self, value):
        session = self._session
        converted = to_c(c_input, value)
        with session._lock:
            status = getattr(native(), function_name)(session._vi, self._selector, attribute_id, converted)
            if status:
                _errors.check(native(), session._vi, status, constant)
    return set


def make_property(row, enums):
    """A property for one ATTRIBUTES row: (name, constant, id, type, channel-based, readable, writable, enum, doc)."""
    name, constant, attribute_id, type_name, _, readable, writable, enum_name, doc = row
    enum = enums.get(enum_name) if enum_name else None
    get = _getter(constant, attribute_id, type_name, enum) if readable else None
    if get is not None:
        get.__name__ = name
        get.__annotations__ = {"return": enum or PYTHON_TYPES[type_name]}
    set = _setter(constant, attribute_id, type_name) if writable else None
    return property(get, set, None, doc)
