# SPDX-License-Identifier: MIT
"""The ZEVRA_64 driver for QDX power supplies, as an IVI-Python driver.

    import zevra
    with zevra.Zevra("TCPIP0::192.168.1.20::5025::SOCKET",
                     options={"query_instrument_status": True}) as psu:
        ch = psu.channels["CH1"]
        ch.configure_voltage_level(5.0)
        ch.output_enabled = True
        print(ch.measure(zevra.MeasurementType.VOLTAGE))

Instrument-wide attributes are typed properties of Zevra, channel-based ones of OutputChannel,
every instrument function a method; ivi_utility and ivi_direct_io are the IVI interfaces. A
failure raises zevra.Error, a warning status issues a zevra.ZevraWarning. The library is
libZEVRA_64.so.1 of the prefix this package is installed in, else the system loader's;
ZEVRA_LIBRARY names another.
"""
from . import _driver, _enums
from ._driver import *  # noqa: F401,F403  (OutputChannel, ZevraApi, the result types)
from ._enums import *  # noqa: F401,F403  (the IntEnums of the driver's defined values)
from ._errors import Error, ZevraWarning
from ._zevra import (ErrorQueryResult, InitOptions, IviDirectIo, IviUtility,
                     OutputChannelCollection, SessionLock, Zevra)

__version__ = "1.0.0"

# The names of the package before it followed IVI-Python, kept so that programs keep working.
Session = Zevra
Channel = _driver.OutputChannel
Channels = OutputChannelCollection

__all__ = [
    "Error", "ErrorQueryResult", "InitOptions", "IviDirectIo", "IviUtility",
    "OutputChannelCollection", "SessionLock", "Zevra", "ZevraWarning", "Session", "Channel",
    "Channels", *_driver.__all__, *_enums.__all__,
]

for _name in __all__:
    _public = globals()[_name]
    if isinstance(_public, type) and _public.__module__.startswith(__name__ + "."):
        _public.__module__ = __name__  # where users find it
