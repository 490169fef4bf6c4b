# SPDX-License-Identifier: MIT
"""What the generated classes stand on: the session's handle and lock, the status check, the
checks of values before they go to C, and the calls whose buffers grow on request.

Kept free of `typing` at run time (annotations are strings): importing the package stays cheap.
"""
from __future__ import annotations

import ctypes
import math
from _thread import RLock  # type: ignore[attr-defined]  # threading's, without importing threading

from . import _errors
from ._native import Functions, native
from ._statuses import STATUS_NAMES

TYPE_CHECKING = False
if TYPE_CHECKING:
    from typing import TypeVar

    Integer = TypeVar("Integer", bound=int)

TEXT_BYTES = 4096  # the largest string attribute value the driver returns
MESSAGE_BYTES = _errors.MESSAGE_BYTES  # the fixed 256-byte buffers, with room to spare
ARRAY_ITEMS = 64
READ_BYTES = 65536


def c_real(value: float, name: str) -> float:
    """A finite float for a ViReal64; NaN and infinities reach no instrument."""
    if type(value) is not float:
        if isinstance(value, bool) or not isinstance(value, (int, float)):
            raise TypeError("%s must be float, not %s" % (name, type(value).__name__))
        value = float(value)
    if not math.isfinite(value):
        raise ValueError("%s must be a finite number, not %r" % (name, value))
    return value


def c_int(value: Integer, name: str) -> Integer:
    """An int (or IntEnum member) for a ViInt32/ViInt64; bool is refused as a likely mistake."""
    if type(value) is not int and (isinstance(value, bool) or not isinstance(value, int)):
        raise TypeError("%s must be int, not %s" % (name, type(value).__name__))
    return value


def c_bool(value: bool, name: str) -> bool:
    """A bool for a ViBoolean; an int is taken for its truth."""
    if not isinstance(value, int):  # bool is an int
        raise TypeError("%s must be bool, not %s" % (name, type(value).__name__))
    return bool(value)


def c_text(value: str | bytes, name: str) -> bytes:
    """UTF-8 bytes for a C string. A NUL inside would silently cut it short, so it is refused."""
    if isinstance(value, str):
        value = value.encode()
    elif not isinstance(value, bytes):
        raise TypeError("%s must be str, not %s" % (name, type(value).__name__))
    if b"\0" in value:
        raise ValueError("%s contains a NUL character, which would cut it short: %r"
                         % (name, value))
    return value


def c_counted(value: str | bytes, name: str) -> bytes:
    """Bytes passed with their length: any byte may be in them."""
    if isinstance(value, str):
        return value.encode()
    if not isinstance(value, (bytes, bytearray)):
        raise TypeError("%s must be bytes, not %s" % (name, type(value).__name__))
    return bytes(value)


def enum_or_int(enum: type, value: int) -> int:
    """The member of enum with value, or value itself for one the driver's table does not name."""
    try:
        return enum(value)  # type: ignore[no-any-return]
    except ValueError:
        return value


class SessionCore:
    """A driver session handle, and the lock held by the calls that use its output cells.

    The driver keeps a session safe for calls from several threads itself, and a failed call's
    description is read from the calling thread's own record, so calls that use no shared cell
    (writes, most functions) need no lock of ours.
    """

    _vi: int
    _selector = b""

    def __init__(self) -> None:
        self._session = self
        self._lock = RLock()
        # Bound once: taking and letting go of the lock is the cost of every read.
        self._acquire = self._lock.acquire
        self._release = self._lock.release
        self._vi = 0
        self._c: Functions = native()
        # One output cell of each type, used under the lock and read before it is let go: a
        # call need not make its own.
        self._cell_double = ctypes.c_double()
        self._cell_int32 = ctypes.c_int32()
        self._cell_int16 = ctypes.c_int16()
        self._cell_int64 = ctypes.c_int64()
        self._cell_uint16 = ctypes.c_uint16()
        self._cell_uint32 = ctypes.c_uint32()
        self._ref_double = ctypes.byref(self._cell_double)
        self._ref_int32 = ctypes.byref(self._cell_int32)
        self._ref_int16 = ctypes.byref(self._cell_int16)
        self._ref_int64 = ctypes.byref(self._cell_int64)
        self._ref_uint16 = ctypes.byref(self._cell_uint16)
        self._ref_uint32 = ctypes.byref(self._cell_uint32)

    def _check(self, status: int, subject: str) -> None:
        """Raises Error for a failure, warns for a warning; other positive results (sizes) pass.
        Under the lock, so that two failures' reads of the instrument's error queue do not
        interleave."""
        if status < 0 or status in STATUS_NAMES:
            with self._lock:
                _errors.check(self._c, self._vi, status, subject, stacklevel=4)

    def _sized_text(self, function: str, subject: str, *args: object) -> str:
        """A string out of function(vi, *args, size, buffer), asking again with the size the driver
        says the whole value needs."""
        call = getattr(self._c, function)
        size = TEXT_BYTES
        while True:
            text = ctypes.create_string_buffer(size)
            status = call(self._vi, *args, size, text)
            if status > size and status not in STATUS_NAMES:
                size = status
                continue
            if status:
                self._check(status, subject)
            return text.value.decode("utf-8", "replace")

    def _get_text(self, selector: bytes, attribute: int, subject: str) -> str:
        return self._sized_text("ZEVRA_GetAttributeViString", subject, selector, attribute)


class ChannelCore:
    """An output channel of a session, named by its physical name ("CH1") or a virtual name."""

    __slots__ = ("_session", "_selector", "_name")

    def __init__(self, session: SessionCore, name: str) -> None:
        self._session = session
        self._selector = c_text(name, "a channel name")
        self._name = name

    @property
    def name(self) -> str:
        """The name this channel was chosen by: "CH1" for a number, else the name given."""
        return self._name

    @property
    def session(self) -> SessionCore:
        """The session the channel belongs to."""
        return self._session

    def __repr__(self) -> str:
        return "<zevra.OutputChannel %r>" % (self._name,)

    def __eq__(self, other: object) -> bool:
        return (isinstance(other, ChannelCore) and other._session is self._session
                and other._name == self._name)

    def __hash__(self) -> int:
        return hash((id(self._session), self._name))
