# SPDX-License-Identifier: MIT
"""Python methods made from the header's declarations: inputs become arguments, output
pointers and buffers become return values.

Each C parameter after the session (and, for channel functions, the channel name) takes one
of these roles:
  input       a Python argument, converted to its C type (enums accept their IntEnum)
  size        "...BufferSize" before a buffer: filled in, never asked for
  text_in     a ViConstString after a size: bytes or str, its length is the size
  text_out    a ViChar[] buffer: a str result; sized ones grow when the driver asks for more
  bytes_out   a ViChar[] followed by ReturnCount: the bytes read, up to buffer_size
  array_out   a ViReal64[] between its size and its actual size: a list of floats
  output      any other pointer: a scalar result
"""
import collections
import ctypes
import inspect
import math
import re

from . import _errors
from ._native import SCALARS, native

TEXT_BYTES = 4096  # the largest string attribute value the driver returns
FIXED_TEXT_BYTES = _errors.MESSAGE_BYTES
ARRAY_ITEMS = 64
READ_BYTES = 65536

PYTHON_TYPES = {"ViBoolean": bool, "ViReal64": float, "ViInt16": int, "ViInt32": int, "ViInt64": int,
                "ViSession": int, "ViAttr": int, "ViStatus": int, "ViChar": str, "ViConstString": str,
                "ViString": str, "ViRsrc": str}


def snake(name):
    """"ConfigureOVP" -> "configure_ovp", "viWrite" -> "vi_write", "Summary1Condition" -> "summary1_condition"."""
    name = re.sub(r"([a-z0-9])([A-Z])", r"\1_\2", name)
    name = re.sub(r"([A-Z]+)([A-Z][a-z])", r"\1_\2", name)
    return name.lower()


def enum_or_int(enum, value):
    if enum is None:
        return value
    try:
        return enum(value)
    except ValueError:  # a value the instrument knows and the driver's table does not
        return value


def to_c_text(value, what="text", counted=False):
    """UTF-8 bytes for a C string. A NUL inside a string the driver reads to its end would silently cut it
    short; text passed with its length (counted) may hold any byte."""
    if isinstance(value, str):
        value = value.encode()
    elif not isinstance(value, bytes):
        raise TypeError("expected str, got %s" % type(value).__name__)
    if not counted and b"\0" in value:
        raise ValueError("%s contains a NUL character, which would cut it short: %r" % (what, value))
    return value


def to_c(type_name, value):
    """A Python value for a C input of type_name; TypeError for what cannot be one."""
    if type_name in ("ViConstString", "ViString", "ViRsrc"):
        return to_c_text(value)
    if type_name == "ViBoolean":
        if not isinstance(value, (bool, int)):
            raise TypeError("expected bool, got %s" % type(value).__name__)
        return 1 if value else 0
    if type_name == "ViReal64":
        if isinstance(value, bool) or not isinstance(value, (int, float)):
            raise TypeError("expected float, got %s" % type(value).__name__)
        if not math.isfinite(value):
            raise ValueError("expected a finite number, got %r" % (value,))
        return float(value)
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError("expected int, got %s" % type(value).__name__)
    return int(value)


def from_c(type_name, value, enum=None):
    if type_name == "ViBoolean":
        return bool(value)
    return enum_or_int(enum, value)


def find_enum(function, param, enums, attribute_enum):
    """The IntEnum a ViInt32 parameter takes: its own name, or a longer enum name ending in it that the
    function's name contains (State of ConfigurePowerOnState), or the only enum ending in it."""
    if param == "AttributeValue":
        return attribute_enum
    if param in enums:
        return enums[param]
    ending = [name for name in enums if name.endswith(param)]
    named = [name for name in ending if name in function]
    if len(named) == 1:
        return enums[named[0]]
    return enums[ending[0]] if len(ending) == 1 else None


class Slot:
    def __init__(self, role, type_name, name, python_name, enum=None):
        self.role, self.type_name, self.name, self.python_name, self.enum = role, type_name, name, python_name, enum


def plan(function, params, enums, attribute_enum):
    """The roles of params (those after the session and channel name)."""
    slots = []
    for i, (type_name, name, pointer, array) in enumerate(params):
        following = params[i + 1] if i + 1 < len(params) else None
        previous = slots[-1] if slots else None
        python_name = "value" if name == "AttributeValue" else snake(name)
        enum = find_enum(function, name, enums, attribute_enum) if type_name == "ViInt32" else None
        if name.endswith("BufferSize") and following is not None and (following[3] or following[0] == "ViConstString"):
            role = "size"
        elif previous is not None and previous.role == "size" and type_name == "ViConstString":
            role = "text_in"
        elif array and type_name == "ViChar":
            role = "bytes_out" if following is not None and following[1] == "ReturnCount" else "text_out"
        elif array:
            role = "array_out"
        elif pointer and previous is not None and previous.role in ("array_out", "bytes_out"):
            role = "actual"
        elif pointer:
            role = "output"
        else:
            role = "input"
        slots.append(Slot(role, type_name, name, python_name, enum))
    return slots


class Call:
    """One exported function with its slots; calling it runs the function under the owner's lock."""

    def __init__(self, function, params, channel_based, enums, attribute_enum, doc):
        self.function = function
        self.channel_based = channel_based
        self.slots = plan(function, params[2 if channel_based else 1:], enums, attribute_enum)
        self.inputs = [s for s in self.slots if s.role in ("input", "text_in")]
        self.sized_read = any(s.role == "bytes_out" for s in self.slots)
        results = [s for s in self.slots if s.role in ("output", "text_out", "bytes_out", "array_out")]
        self.results = results
        self.result_type = None
        if len(results) > 1:
            type_name = "".join(part.capitalize() for part in snake(function[len("ZEVRA_"):]).split("_")) + "Result"
            self.result_type = collections.namedtuple(type_name, [s.python_name for s in results])
        self.doc = doc

    def signature(self):
        parameters = [inspect.Parameter("self", inspect.Parameter.POSITIONAL_OR_KEYWORD)]
        for s in self.inputs:
            annotation = bytes if s.role == "text_in" else (s.enum or PYTHON_TYPES[s.type_name])
            parameters.append(inspect.Parameter(s.python_name, inspect.Parameter.POSITIONAL_OR_KEYWORD,
                                                annotation=annotation))
        if self.sized_read:
            parameters.append(inspect.Parameter("buffer_size", inspect.Parameter.POSITIONAL_OR_KEYWORD,
                                                default=READ_BYTES, annotation=int))
        return inspect.Signature(parameters, return_annotation=self.return_annotation())

    def return_annotation(self):
        if not self.results:
            return None
        if self.result_type is not None:
            return self.result_type

        s = self.results[0]
        return {"text_out": str, "bytes_out": bytes, "array_out": list}.get(
            s.role, s.enum or PYTHON_TYPES[s.type_name])

    def bind(self, args, kwargs):
        if len(args) > len(self.inputs) + self.sized_read:
            raise TypeError("%s takes %d arguments" % (self.function, len(self.inputs)))
        names = [s.python_name for s in self.inputs] + (["buffer_size"] if self.sized_read else [])
        values = dict(zip(names, args))
        for key, value in kwargs.items():
            if key not in names or key in values:
                raise TypeError("%s got an unexpected or repeated argument %r" % (self.function, key))
            values[key] = value
        if self.sized_read:
            values.setdefault("buffer_size", READ_BYTES)
        missing = [n for n in names if n not in values]
        if missing:
            raise TypeError("%s missing argument(s): %s" % (self.function, ", ".join(missing)))
        return values

    def __call__(self, owner, *args, **kwargs):
        values = self.bind(args, kwargs)
        size = {"text_out": TEXT_BYTES, "array_out": ARRAY_ITEMS, "bytes_out": values.get("buffer_size")}
        session = owner._session
        function = getattr(native(), self.function)
        while True:
            c_args, buffers = self.arguments(owner, values, size)
            with session._lock:
                status = function(session._vi, *c_args)
                grow = self.grown_sizes(status, buffers, size)
                if grow is None:
                    if status and (status < 0 or _errors.is_warning(status)):
                        _errors.check(native(), session._vi, status, self.function[len("ZEVRA_"):])
                    return self.outcome(buffers)
            size = grow

    def arguments(self, owner, values, size):
        c_args = [owner._selector] if self.channel_based else []
        buffers = {}
        pending_size = None
        for s in self.slots:
            if s.role == "input":
                c_args.append(to_c(s.type_name, values[s.python_name]))
            elif s.role == "text_in":
                data = to_c_text(values[s.python_name], counted=True)
                c_args[pending_size] = len(data)
                c_args.append(data)
            elif s.role == "size":
                pending_size = len(c_args)
                c_args.append(0)
            elif s.role in ("text_out", "bytes_out", "array_out"):
                sized = pending_size is not None and len(c_args) == pending_size + 1
                count = size[s.role] if sized else FIXED_TEXT_BYTES
                if s.role == "bytes_out":
                    count = to_c("ViInt64", count)
                    if count < 0:
                        raise ValueError("buffer_size must not be negative")
                buffer = (ctypes.c_double * count)() if s.role == "array_out" else ctypes.create_string_buffer(max(count, 1))
                if sized:
                    c_args[pending_size] = count
                buffers[s.name] = (s, buffer, count if sized else None)
                c_args.append(buffer)
            else:  # output or actual
                cell = SCALARS[s.type_name]()
                buffers[s.name] = (s, cell, None)
                c_args.append(ctypes.byref(cell))
        return c_args, buffers

    def grown_sizes(self, status, buffers, size):
        """New buffer sizes when this result asks for larger ones, else None."""
        grown = dict(size)
        for s, buffer, count in buffers.values():
            if count is None:
                continue
            if s.role == "text_out" and status > count and not _errors.is_warning(status):
                grown["text_out"] = status  # the IVI rule: a positive result is the size needed
            if s.role == "array_out":
                actual = self.actual_after(s, buffers)
                if actual is not None and actual > count:
                    grown["array_out"] = max(grown["array_out"], actual)
        return None if grown == size else grown

    def actual_after(self, slot, buffers):
        index = self.slots.index(slot)
        if index + 1 < len(self.slots) and self.slots[index + 1].role == "actual":
            return buffers[self.slots[index + 1].name][1].value
        return None

    def outcome(self, buffers):
        values = []
        for s in self.results:
            _, buffer, _ = buffers[s.name]
            if s.role == "text_out":
                values.append(buffer.value.decode("utf-8", "replace"))
            elif s.role == "bytes_out":
                values.append(buffer.raw[:self.actual_after(s, buffers)])
            elif s.role == "array_out":
                values.append(list(buffer[:self.actual_after(s, buffers)]))
            else:
                values.append(from_c(s.type_name, buffer.value, s.enum))
        if not values:
            return None
        return self.result_type(*values) if self.result_type else values[0]


def method(call, name):
    """A function to put on a class: call(self, ...), with a signature and docstring for help()."""
    def invoke(self, *args, **kwargs):
        return call(self, *args, **kwargs)

    invoke.__name__ = invoke.__qualname__ = name
    invoke.__signature__ = call.signature()
    invoke.__doc__ = call.doc
    return invoke
