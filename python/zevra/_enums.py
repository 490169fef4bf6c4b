# SPDX-License-Identifier: MIT
"""The driver's defined values (ZEVRA_VAL_*) as IntEnums, one per enum map of the driver."""
import enum

from ._tables import ENUMS

# zevra.Channel is the channel object; the channel values are numbers of channels.
_PUBLIC_NAMES = {"Channel": "ChannelNumber"}


def _make(class_name, readable, members):
    made = enum.IntEnum(_PUBLIC_NAMES.get(class_name, class_name),
                        [(member, value) for member, value, _ in members], module="zevra")
    made.__doc__ = "The driver's %s values: %s." % (readable, ", ".join(
        "%s = %s (%d)" % (member, constant, value) for member, value, constant in members))
    return made


# By the table's class name, which parameter names are matched against.
BY_NAME = {class_name: _make(class_name, readable, members) for class_name, readable, members in ENUMS}
PUBLIC = {made.__name__: made for made in BY_NAME.values()}
globals().update(PUBLIC)
__all__ = sorted(PUBLIC)
