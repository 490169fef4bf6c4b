# SPDX-License-Identifier: MIT
"""Statuses as Python sees them: negative ones raise Error, positive ones warn."""
from __future__ import annotations

import ctypes
import warnings

from ._statuses import STATUS_NAMES

TYPE_CHECKING = False
if TYPE_CHECKING:
    from collections.abc import Iterable

    from ._native import Functions

INSTRUMENT_STATUS = -1074135039  # IVI_ERROR_INSTRUMENT_STATUS, 0xBFFA0001
# How many queued instrument errors an exception carries at most; the queue of a
# misbehaving instrument may never answer "no error".
MAX_INSTRUMENT_ERRORS = 32
MESSAGE_BYTES = 1024  # the driver's fixed message buffers hold 256


def _hex(status: int) -> str:
    return "0x%08X" % (status & 0xFFFFFFFF)


_visa_library: ctypes.CDLL | None = None


def visa_status(status: int) -> tuple[str | None, str | None]:
    """(name, description) of a VISA status as the VISA library the driver runs on describes it,
    or (None, None) for a status it does not know."""
    global _visa_library
    if _visa_library is None:
        # Already loaded as the driver's own dependency, so found by its name.
        _visa_library = ctypes.CDLL("libvisa.so.1")
        _visa_library.viStatusDesc.argtypes = (ctypes.c_uint32, ctypes.c_int32, ctypes.c_char_p)
        _visa_library.viStatusDesc.restype = ctypes.c_int32
    text = ctypes.create_string_buffer(MESSAGE_BYTES)
    if _visa_library.viStatusDesc(0, status, text) != 0:  # VI_WARN_UNKNOWN_STATUS
        return None, None
    name, _, description = text.value.decode("utf-8", "replace").partition(": ")
    return name, description


class _Status:
    status: int

    @property
    def name(self) -> str | None:
        """The status's constant, e.g. "IVI_ERROR_INVALID_VALUE" or "VI_ERROR_TMO", or None for one
        neither the driver nor the VISA library defines."""
        return STATUS_NAMES.get(self.status) or visa_status(self.status)[0]


class Error(_Status, Exception):
    """A failed driver call: .status is the signed ViStatus, .description the driver's text.

    For an instrument status error (IVI_ERROR_INSTRUMENT_STATUS), .instrument_errors holds the
    instrument's queued errors as (code, message) pairs, and the description lists them too.
    """

    def __init__(self, status: int, description: str,
                 instrument_errors: Iterable[tuple[int, str]] = ()) -> None:
        self.status = status
        self.description = description
        self.instrument_errors = list(instrument_errors)
        super().__init__("%s %s" % (_hex(status), description))


class ZevraWarning(_Status, UserWarning):
    """A call that succeeded with a warning status: .status and .description as for Error."""

    def __init__(self, status: int, description: str) -> None:
        self.status = status
        self.description = description
        super().__init__("%s %s" % (_hex(status), description))


def is_warning(status: int) -> bool:
    """A positive status the driver defines as a warning (not a buffer size some calls return)."""
    return status > 0 and status in STATUS_NAMES


def _recorded_description(functions: Functions, vi: int, status: int) -> str:
    """What ZEVRA_GetError holds for the session (Vi 0: the thread), if it is about this status."""
    code = ctypes.c_int32(0)
    size = functions.ZEVRA_GetError(vi, ctypes.byref(code), 0, None)
    if size <= 0:
        return ""
    text = ctypes.create_string_buffer(size)
    functions.ZEVRA_GetError(vi, ctypes.byref(code), size, text)
    return text.value.decode("utf-8", "replace") if code.value == status else ""


def _template(functions: Functions, vi: int, status: int, subject: str | None) -> str:
    """The status's message; a call that records no description of its own (a feature the
    instrument
    lacks) gets the message with its one placeholder filled in with the function or attribute."""
    text = ctypes.create_string_buffer(MESSAGE_BYTES)
    if functions.ZEVRA_error_message(vi, status, text) < 0:
        return visa_status(status)[1] or "Unknown status code."
    message = text.value.decode("utf-8", "replace")
    return message.replace("%s", subject) if subject and message.count("%s") == 1 else message


def _instrument_errors(functions: Functions, vi: int) -> list[tuple[int, str]]:
    entries = []
    for _ in range(MAX_INSTRUMENT_ERRORS):
        code = ctypes.c_int32(0)
        message = ctypes.create_string_buffer(MESSAGE_BYTES)
        if functions.ZEVRA_error_query(vi, ctypes.byref(code), message) < 0 or code.value == 0:
            break
        entries.append((code.value, message.value.decode("utf-8", "replace")))
    functions.ZEVRA_ClearError(vi)
    functions.ZEVRA_ClearError(0)  # nor does a failed query leave its error for the next call
    return entries


def check(functions: Functions, vi: int, status: int, subject: str | None = None,
          stacklevel: int = 3) -> None:
    """Raises or warns for status, made by the calling thread's last call on session vi. The
    description is the calling thread's record (the driver records every error for the thread
    as well as for the session), which only this thread's calls write: it is this call's
    whatever other threads do with the session meanwhile.
    subject names what was called ("Initiate", "ZEVRA_ATTR_VOLTAGE_LEVEL")."""
    description = (_recorded_description(functions, 0, status)
                   or _template(functions, vi, status, subject))
    if status > 0:
        warnings.warn(ZevraWarning(status, description), stacklevel=stacklevel)
        return
    queued = _instrument_errors(functions, vi) if status == INSTRUMENT_STATUS and vi else []
    for code, message in queued:
        description += "\n  %d, %s" % (code, message)
    raise Error(status, description, queued)
