# SPDX-License-Identifier: MIT
"""The ZEVRA_64 driver for QDX power supplies, for Python.

    import zevra
    with zevra.Session("TCPIP0::192.168.1.20::5025::SOCKET", options="QueryInstrStatus=1") as psu:
        ch = psu.channels["CH1"]
        ch.configure_voltage_level(5.0)
        ch.output_enabled = True
        print(ch.measure(zevra.MeasurementType.VOLTAGE))

Every driver attribute is a typed property (session-wide ones on Session, channel-based ones on
Channel), every instrument function a method; a failure raises zevra.Error, a warning status
issues a zevra.ZevraWarning. The library is libZEVRA_64.so.1 of the prefix this package is
installed in, else the system loader's; ZEVRA_LIBRARY names another.
"""
from ._enums import *  # noqa: F401,F403  (the IntEnums of the driver's defined values)
from ._enums import __all__ as _enum_names
from ._errors import Error, ZevraWarning
from ._session import Channel, Channels, Session

__all__ = ["Session", "Channel", "Channels", "Error", "ZevraWarning", *_enum_names]

for _public in (Session, Channel, Channels, Error, ZevraWarning):
    _public.__module__ = __name__
