# SPDX-License-Identifier: MIT
"""Session, its channels, and the properties and methods generated onto them."""
import contextlib
import ctypes
import threading

from . import _errors
from ._attributes import make_property
from ._calls import TEXT_BYTES, Call, method, snake, to_c_text
from ._enums import BY_NAME as ENUMS
from ._native import native
from ._tables import ATTRIBUTES, FUNCTIONS

# What the package offers in its own way rather than as a generated method.
_OWN = {"ZEVRA_init", "ZEVRA_InitWithOptions", "ZEVRA_close", "ZEVRA_GetError", "ZEVRA_ClearError",
        "ZEVRA_error_message", "ZEVRA_LockSession", "ZEVRA_UnlockSession"}
_GENERIC_ACCESS = ("ZEVRA_GetAttributeVi", "ZEVRA_SetAttributeVi")
# Reading it resolves the channel name and touches no instrument: a cheap check of a name.
_CHANNEL_CHECK_ATTRIBUTE = next(row[2] for row in ATTRIBUTES if row[1] == "ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR")


class Session:
    """A driver session: ZEVRA_InitWithOptions on a VISA resource or a logical name of the configuration store.

    Session-wide attributes are properties, instrument functions are methods; channel-based ones are on
    the channels (psu.channels["CH1"], psu.channels[1], a virtual name, or `for ch in psu.channels`).
    Calls on one session are serialized; sessions work in parallel.
    """

    def __init__(self, resource, id_query=False, reset=False, options="", simulate=False):
        self._session = self
        self._selector = b""
        self._lock = threading.RLock()
        self._vi = 0
        self.resource = resource
        if simulate:
            options = "Simulate=1" + (", " + options if options else "")
        functions = native()
        vi = ctypes.c_uint32(0)
        with self._lock:
            status = functions.ZEVRA_InitWithOptions(_text(resource, "resource"), 1 if id_query else 0,
                                                     1 if reset else 0, _text(options, "options"), ctypes.byref(vi))
            self._vi = vi.value
            if status:
                _errors.check(functions, 0 if status < 0 else self._vi, status)
        self.channels = Channels(self)

    def close(self):
        """Closes the session; closing again does nothing."""
        with self._lock:
            vi, self._vi = self._vi, 0
            if vi:
                status = native().ZEVRA_close(vi)
                if status:
                    _errors.check(native(), 0, status)

    @property
    def closed(self):
        return self._vi == 0

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __del__(self):
        try:
            if getattr(self, "_vi", 0):
                self.close()
        except Exception:  # never raise from the collector
            pass

    def __repr__(self):
        if self.closed:
            return "<zevra.Session %r closed>" % (self.resource,)
        try:
            identity = "%s %s, firmware %s" % (self.instrument_manufacturer, self.instrument_model,
                                               self.instrument_firmware_revision)
        except _errors.Error as error:
            identity = "identity unavailable: %s" % error.description
        return "<zevra.Session %r %s>" % (self.resource, _shown(identity))

    @contextlib.contextmanager
    def locked(self):
        """Holds the session lock (ZEVRA_LockSession) across the calls in the with block."""
        with self._lock:
            self._checked(native().ZEVRA_LockSession(self._vi, None))
            try:
                yield self
            finally:
                self._checked(native().ZEVRA_UnlockSession(self._vi, None))

    def _checked(self, status):
        if status:
            _errors.check(native(), self._vi, status)

    def _channel_name(self, index):
        name = ctypes.create_string_buffer(TEXT_BYTES)
        with self._lock:
            self._checked(native().ZEVRA_GetChannelName(self._vi, index, TEXT_BYTES, name))
        return name.value.decode()


class Channel:
    """One output channel of a session, named by its physical name ("CH1") or a virtual name."""

    def __init__(self, session, name):
        self._session = session
        self._selector = _text(name, "channel name")
        self.name = name

    @property
    def session(self):
        return self._session

    def __repr__(self):
        return "<zevra.Channel %r>" % (self.name,)

    def __eq__(self, other):
        return isinstance(other, Channel) and other._session is self._session and other.name == self.name

    def __hash__(self):
        return hash((id(self._session), self.name))


class Channels:
    """The session's channels: by name (physical or virtual), by index from 1, and in order."""

    def __init__(self, session):
        self._session = session

    def __len__(self):
        return self._session.channel_count

    def __getitem__(self, key):
        if isinstance(key, bool) or not isinstance(key, (int, str)):
            raise TypeError("a channel is named by str or numbered by int, not %s" % type(key).__name__)
        session = self._session
        if isinstance(key, int):
            return Channel(session, session._channel_name(key))
        channel = Channel(session, key)
        value = ctypes.c_int32()
        with session._lock:
            session._checked(native().ZEVRA_GetAttributeViInt32(session._vi, channel._selector,
                                                                _CHANNEL_CHECK_ATTRIBUTE, ctypes.byref(value)))
        return channel

    def __iter__(self):
        for index in range(1, len(self) + 1):
            yield self[index]

    def __contains__(self, name):
        try:
            self[name]
        except _errors.Error:
            return False
        return True

    def __repr__(self):
        return "<zevra.Channels %s>" % ", ".join(channel.name for channel in self)


def _text(value, what):
    if not isinstance(value, str):
        raise TypeError("%s must be str, not %s" % (what, type(value).__name__))
    return to_c_text(value, what)


def _shown(text):
    """Text from an instrument for a repr: control characters escaped, so printing it cannot drive a terminal."""
    return repr(text)[1:-1]


def _install():
    """Puts a property on Session or Channel for every attribute, and a method for every instrument function."""
    for row in ATTRIBUTES:
        owner = Channel if row[4] else Session
        _put(owner, row[0], make_property(row, ENUMS), row[1])
    attribute_enums = {row[1]: ENUMS.get(row[7]) if row[7] else None for row in ATTRIBUTES}
    for name, params, attribute, doc in FUNCTIONS:
        if name in _OWN or name.startswith(_GENERIC_ACCESS):
            continue
        channel_based = len(params) > 1 and params[1][1] == "ChannelName"
        call = Call(name, params, channel_based, ENUMS, attribute_enums.get(attribute),
                    (doc + "\n\n" if doc else "") + "Calls %s." % name)
        python_name = snake(name[len("ZEVRA_"):])
        _put(Channel if channel_based else Session, python_name, method(call, python_name), name)


def _put(owner, name, value, source):
    if name in owner.__dict__:
        raise RuntimeError("%s.%s made twice (from %s)" % (owner.__name__, name, source))
    setattr(owner, name, value)


_install()
