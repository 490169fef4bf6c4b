# SPDX-License-Identifier: MIT
"""The root class Zevra: opening a session, its channel collection, and the IVI utility and
direct I/O interfaces every IVI-Python driver offers."""
from __future__ import annotations

import ctypes
from collections import namedtuple

from . import _errors
from ._core import READ_BYTES, c_bool, c_text
from ._driver import OutputChannel, ZevraApi
from ._enums import ChannelNumber

TYPE_CHECKING = False
if TYPE_CHECKING:
    from collections.abc import Iterator
    from types import TracebackType
    from typing import NamedTuple, TypedDict

    class InitOptions(TypedDict, total=False):
        """The options of a session: the six IVI inherent options and the driver setup."""
        range_check: bool
        query_instrument_status: bool
        cache: bool
        simulate: bool
        record_coercions: bool
        interchange_check: bool
        driver_setup: str

    class _ErrorQueryFields(NamedTuple):
        code: int
        message: str
else:
    InitOptions = dict
    _ErrorQueryFields = namedtuple("ErrorQueryResult", ("code", "message"))

# The option string's names for the keys of InitOptions, in the order the string lists them.
OPTION_NAMES = {"range_check": "RangeCheck", "query_instrument_status": "QueryInstrStatus",
                "cache": "Cache", "simulate": "Simulate", "record_coercions": "RecordCoercions",
                "interchange_check": "InterchangeCheck", "driver_setup": "DriverSetup"}


class ErrorQueryResult(_ErrorQueryFields):
    """One entry of the instrument's error queue: code and message."""

    __slots__ = ()
    __module__ = "zevra"

    def __str__(self) -> str:
        return "%d, %s" % (self.code, self.message)


def option_string(options: InitOptions | str | None, simulate: bool) -> str:
    """The driver's option string for options given as a dict or as a string."""
    if options is None:
        text = ""
    elif isinstance(options, str):
        text = options
    elif isinstance(options, dict):
        parts = []
        for key, value in options.items():
            if key not in OPTION_NAMES:
                raise ValueError("unknown option %r; the options are %s"
                                 % (key, ", ".join(OPTION_NAMES)))
            if key == "driver_setup":
                if not isinstance(value, str):
                    raise TypeError("option driver_setup must be str, not %s"
                                    % type(value).__name__)
                continue
            if not isinstance(value, bool):
                raise TypeError("option %s must be bool, not %s" % (key, type(value).__name__))
            parts.append("%s=%d" % (OPTION_NAMES[key], value))
        if "driver_setup" in options:  # it takes the rest of the string, so it comes last
            parts.append("DriverSetup=%s" % options["driver_setup"])
        text = ", ".join(parts)
    else:
        raise TypeError("options must be a dict, a str or None, not %s" % type(options).__name__)
    if simulate:
        text = "Simulate=1" + (", " + text if text else "")
    return text


class OutputChannelCollection:
    """The session's output channels: by name (physical "CH1" or a virtual name), by number from
    1, by ChannelNumber, and in order."""

    __slots__ = ("_session", "_known")

    def __init__(self, session: Zevra) -> None:
        self._session = session
        self._known: dict[str, OutputChannel] = {}

    def __len__(self) -> int:
        return self._session.channel_count

    def __getitem__(self, key: str | int | ChannelNumber) -> OutputChannel:
        session = self._session
        if isinstance(key, ChannelNumber):
            key = session.get_channel_name(key + 1)  # CHANNEL1 is 0
        elif isinstance(key, bool) or not isinstance(key, (int, str)):
            raise TypeError("a channel is named by str, numbered by int or ChannelNumber, not %s"
                            % type(key).__name__)
        elif isinstance(key, int):
            key = session.get_channel_name(key)
        channel = self._known.get(key)
        if channel is None:
            channel = OutputChannel(session, key)
            # Reading this attribute resolves the name and touches no instrument: an unknown
            # name fails here, not at the first real call.
            channel.current_limit_behavior
            self._known[key] = channel
        return channel

    def __iter__(self) -> Iterator[OutputChannel]:
        for number in range(1, len(self) + 1):
            yield self[number]

    def __contains__(self, key: object) -> bool:
        if isinstance(key, bool) or not isinstance(key, (str, int)):
            return False
        try:
            self[key]
        except _errors.Error:
            return False
        return True

    def __repr__(self) -> str:
        return "<zevra.OutputChannelCollection %s>" % ", ".join(c.name for c in self)


class IviUtility:
    """What every IVI driver reports about itself and the instrument, and its error queue."""

    __slots__ = ("_session",)

    def __init__(self, session: Zevra) -> None:
        self._session = session

    @property
    def driver_version(self) -> str:
        """The driver's revision (ZEVRA_ATTR_SPECIFIC_DRIVER_REVISION)."""
        return self._session.specific_driver_revision

    @property
    def driver_vendor(self) -> str:
        """Who wrote the driver (ZEVRA_ATTR_SPECIFIC_DRIVER_VENDOR)."""
        return self._session.specific_driver_vendor

    @property
    def instrument_manufacturer(self) -> str:
        """The manufacturer the instrument names in its identity ("*IDN?")."""
        return self._session.instrument_manufacturer

    @property
    def instrument_model(self) -> str:
        """The model the instrument names in its identity, e.g. "QDX7001"."""
        return self._session.instrument_model

    @property
    def instrument_serial_number(self) -> str:
        """The serial number, the third field of the instrument's identity: asked by "*IDN?" the
        first time, through direct I/O; empty when simulating."""
        session = self._session
        if session._serial_number is None:
            if session.simulate:
                return ""
            with session._lock:
                session.vi_write(b"*IDN?\n")
                fields = session.vi_read(READ_BYTES).decode("utf-8", "replace").split(",")
            session._serial_number = fields[2].strip() if len(fields) > 2 else ""
        return session._serial_number

    @property
    def instrument_firmware(self) -> str:
        """The firmware revision the instrument names in its identity."""
        return self._session.instrument_firmware_revision

    @property
    def query_instrument_status_enabled(self) -> bool:
        """Whether each call ends by reading the instrument's status byte and raises for an
        error the instrument has queued (ZEVRA_ATTR_QUERY_INSTRUMENT_STATUS)."""
        return self._session.query_instrument_status

    @query_instrument_status_enabled.setter
    def query_instrument_status_enabled(self, enabled: bool) -> None:
        self._session.query_instrument_status = enabled

    @property
    def simulation_enabled(self) -> bool:
        """Whether the session simulates the instrument (ZEVRA_ATTR_SIMULATE)."""
        return self._session.simulate

    @property
    def supported_instrument_models(self) -> tuple[str, ...]:
        """The models the driver supports, one per element."""
        models = self._session.supported_instrument_models
        return tuple(model.strip() for model in models.split(",") if model.strip())

    def error_query(self) -> ErrorQueryResult | None:
        """The oldest entry of the instrument's error queue, or None when it is empty."""
        code, message = self._session.error_query()
        return ErrorQueryResult(code, message) if code != 0 else None

    def error_query_all(self) -> list[ErrorQueryResult]:
        """Every entry of the instrument's error queue, oldest first (at most 32: the queue of a
        misbehaving instrument may never run empty); an empty list when there is none."""
        entries: list[ErrorQueryResult] = []
        while len(entries) < _errors.MAX_INSTRUMENT_ERRORS:
            entry = self.error_query()
            if entry is None:
                break
            entries.append(entry)
        return entries

    def raise_on_device_error(self) -> None:
        """Raises zevra.Error (IVI_ERROR_INSTRUMENT_STATUS, with .instrument_errors) when the
        instrument's error queue holds errors; returns quietly when it is empty."""
        entries = self.error_query_all()
        if entries:
            raise _errors.Error(_errors.INSTRUMENT_STATUS, "Instrument error detected.\n"
                                + "\n".join("  %s" % (entry,) for entry in entries),
                                [(entry.code, entry.message) for entry in entries])

    def reset(self) -> None:
        """Resets the instrument ("*RST") and empties the driver's cache."""
        self._session.reset()


class IviDirectIo:
    """Messages to and from the instrument as they are, beside the driver. Refused in
    simulation."""

    __slots__ = ("_session",)

    def __init__(self, session: Zevra) -> None:
        self._session = session

    @property
    def session(self) -> int:
        """The VISA session the driver talks through (a ViSession for a VISA library)."""
        return self._session.system_io_session

    @property
    def io_timeout_ms(self) -> int:
        """The I/O timeout in milliseconds (ZEVRA_ATTR_SYSTEM_IO_TIMEOUT)."""
        return self._session.system_io_timeout

    @io_timeout_ms.setter
    def io_timeout_ms(self, timeout_ms: int) -> None:
        self._session.system_io_timeout = timeout_ms

    def write_bytes(self, data: bytes) -> None:
        """Sends data as one message; it may hold any byte."""
        self._session.vi_write(data)

    def write_string(self, data: str) -> None:
        """Sends data, UTF-8 encoded, as one message, e.g. "OUTP:ALL:STATE 0\\n"."""
        self._session.vi_write(data.encode())

    def read_bytes(self, count: int) -> bytes:
        """Reads one response, up to count bytes; the rest of a longer one is discarded."""
        return self._session.vi_read(count)

    def read_string(self) -> str:
        """Reads one response (up to 65536 bytes) as text, without its final newline."""
        data = self._session.vi_read(READ_BYTES)
        return data[:-1].decode("utf-8", "replace") if data.endswith(b"\n") \
            else data.decode("utf-8", "replace")


class Zevra(ZevraApi):
    """A session of the ZEVRA_64 driver on a QDX power supply.

    resource_name is a VISA resource ("TCPIP0::192.168.1.20::5025::SOCKET") or a logical name of
    the IVI configuration store. id_query checks that the instrument is a model the driver
    supports; reset resets it after opening. options is a dict (InitOptions: range_check,
    query_instrument_status, cache, simulate, record_coercions, interchange_check as bools,
    driver_setup as text) or the driver's option string ("Simulate=1, QueryInstrStatus=1");
    simulate=True is a shorthand for the simulate option.

    Instrument-wide attributes are properties and instrument functions methods; the outputs are
    in channels. Every failure raises zevra.Error; a warning status issues a ZevraWarning. Calls
    on one session are serialised; sessions work in parallel.
    """

    def __init__(self, resource_name: str, id_query: bool = True, reset: bool = False,
                 options: InitOptions | str | None = None, *, simulate: bool = False) -> None:
        super().__init__()
        self.resource_name = resource_name
        self._serial_number: str | None = None
        option_text = c_text(option_string(options, simulate), "options")
        resource = c_text(resource_name, "resource_name")
        flags = c_bool(id_query, "id_query"), c_bool(reset, "reset")
        vi = ctypes.c_uint32(0)
        with self._lock:
            status = self._c.ZEVRA_InitWithOptions(resource, *flags, option_text, ctypes.byref(vi))
            self._vi = vi.value
            if status:
                _errors.check(self._c, 0 if status < 0 else self._vi, status)
        self._channels = OutputChannelCollection(self)
        self._ivi_utility = IviUtility(self)
        self._ivi_direct_io = IviDirectIo(self)

    @property
    def channels(self) -> OutputChannelCollection:
        """The output channels: channels["CH1"], channels[1], channels[ChannelNumber.CHANNEL1]
        or a virtual name of the configuration store; iterating gives them in order."""
        return self._channels

    def channels_item(self, key: str | int | ChannelNumber) -> OutputChannel:
        """The same as channels[key]."""
        return self._channels[key]

    @property
    def ivi_utility(self) -> IviUtility:
        """The IVI utility interface: identity, status checking, the error queue, reset."""
        return self._ivi_utility

    @property
    def ivi_direct_io(self) -> IviDirectIo:
        """Direct messages to and from the instrument."""
        return self._ivi_direct_io

    def close(self) -> None:
        """Closes the session; closing again does nothing."""
        with self._lock:
            vi, self._vi = self._vi, 0
            if vi:
                status = self._c.ZEVRA_close(vi)
                if status:
                    _errors.check(self._c, 0, status)

    @property
    def closed(self) -> bool:
        return self._vi == 0

    def locked(self) -> SessionLock:
        """Holds the session lock (ZEVRA_LockSession) across the calls in a with block."""
        return SessionLock(self)

    def __enter__(self) -> Zevra:
        return self

    def __exit__(self, kind: type[BaseException] | None, error: BaseException | None,
                 traceback: TracebackType | None) -> None:
        self.close()

    def __del__(self) -> None:
        try:
            if getattr(self, "_vi", 0):
                self.close()
        except Exception:  # never raise from the collector
            pass

    def __repr__(self) -> str:
        if self.closed:
            return "<zevra.Zevra %r closed>" % (self.resource_name,)
        try:
            identity = "%s %s, firmware %s" % (self.instrument_manufacturer, self.instrument_model,
                                               self.instrument_firmware_revision)
        except _errors.Error as error:
            identity = "identity unavailable: %s" % error.description
        # Escaped: what an instrument says must not drive the terminal it is printed on.
        return "<zevra.Zevra %r %s>" % (self.resource_name, repr(identity)[1:-1])


class SessionLock:
    """The with block of Zevra.locked()."""

    __slots__ = ("_session",)

    def __init__(self, session: Zevra) -> None:
        self._session = session

    def __enter__(self) -> Zevra:
        session = self._session
        session._lock.acquire()
        status = session._c.ZEVRA_LockSession(session._vi, None)
        if status:
            session._lock.release()
            session._check(status, "LockSession")
        return session

    def __exit__(self, kind: type[BaseException] | None, error: BaseException | None,
                 traceback: TracebackType | None) -> None:
        session = self._session
        try:
            status = session._c.ZEVRA_UnlockSession(session._vi, None)
            if status:
                session._check(status, "UnlockSession")
        finally:
            session._lock.release()
