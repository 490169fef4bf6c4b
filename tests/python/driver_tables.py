# SPDX-License-Identifier: MIT
"""The driver's tables (made by zevra-python-tables at build time), for the tests to go through
every attribute, enum and function the driver has."""
import os
import runpy

_tables = runpy.run_path(os.environ["ZEVRA_TABLES"])
ATTRIBUTES = _tables["ATTRIBUTES"]  # (name, constant, id, type, channel-based, readable, writable, enum, doc)
ENUMS = _tables["ENUMS"]  # (class name, readable name, ((member, value, constant), ...))
FUNCTIONS = _tables["FUNCTIONS"]  # (function, params, attribute or None, doc, lines sent)
# The channel values are numbers of channels; zevra.OutputChannel is the channel object.
ENUM_CLASS = {name: {"Channel": "ChannelNumber"}.get(name, name) for name, _, _ in ENUMS}
