# SPDX-License-Identifier: MIT
"""The package against the public header and the driver's tables: every attribute a property where
it belongs, every defined value an enum member, every instrument function a method, typed."""
import inspect
import os
import re
import typing

import pytest

import zevra
from driver_tables import ATTRIBUTES, ENUM_CLASS, ENUMS, FUNCTIONS

HEADER = open(os.path.join(os.environ["ZEVRA_SOURCE"], "include", "ZEVRA.h")).read()
DEFINES = dict(re.findall(r"^#define (ZEVRA_\w+) (-?\d+)\s*$", HEADER, re.M))
EXPORTED = re.findall(r"^ZEVRA_API ViStatus (ZEVRA_\w+)\(", HEADER, re.M)
OWN_WAY = {"ZEVRA_init", "ZEVRA_InitWithOptions", "ZEVRA_close", "ZEVRA_GetError", "ZEVRA_ClearError",
           "ZEVRA_error_message", "ZEVRA_LockSession", "ZEVRA_UnlockSession"}


def words(text):
    return " ".join(text.split())


def test_every_attribute_of_the_header_is_a_property_of_the_right_owner():
    attributes = {name: int(value) for name, value in DEFINES.items() if name.startswith("ZEVRA_ATTR_")}
    rows = {row[1]: row for row in ATTRIBUTES}
    assert set(rows) == set(attributes)
    for constant, row in rows.items():
        name, _, attribute_id, _, channel_based, readable, writable, _, doc = row
        assert attribute_id == attributes[constant]
        assert name == constant[len("ZEVRA_ATTR_"):].lower()
        owner, other = (zevra.OutputChannel, zevra.ZevraApi) if channel_based else (zevra.ZevraApi, zevra.OutputChannel)
        prop = owner.__dict__[name]
        assert isinstance(prop, property) and name not in other.__dict__
        assert (prop.fget is not None, prop.fset is not None) == (readable, writable), name
        assert words(prop.__doc__) == words(doc) and constant in prop.__doc__


def test_every_defined_value_is_an_enum_member_with_its_value():
    values = {name: int(value) for name, value in DEFINES.items() if name.startswith("ZEVRA_VAL_")}
    members = {constant: getattr(getattr(zevra, ENUM_CLASS[class_name]), member)
               for class_name, _, rows in ENUMS for member, _, constant in rows}
    assert set(members) == set(values)
    for constant, member in members.items():
        assert member == values[constant] and isinstance(member, int), constant
    assert zevra.OutputState.CONSTANT_CURRENT == 1 and zevra.MeasurementType.VOLTAGE == 1
    assert zevra.ChannelNumber.CHANNEL3 == 2 and zevra.Channel is zevra.OutputChannel


def test_every_instrument_function_is_a_method():
    assert len(EXPORTED) > 100 and {row[0] for row in FUNCTIONS} == set(EXPORTED)
    for function in EXPORTED:
        if function in OWN_WAY or function.startswith(("ZEVRA_GetAttributeVi", "ZEVRA_SetAttributeVi")):
            continue
        declaration = re.search(r"ZEVRA_API ViStatus %s\(ViSession Vi,\s*ViConstString ChannelName" % function, HEADER)
        owner = zevra.OutputChannel if declaration else zevra.ZevraApi
        name = re.sub(r"([A-Z]+)([A-Z][a-z])", r"\1_\2",
                      re.sub(r"([a-z0-9])([A-Z])", r"\1_\2", function[len("ZEVRA_"):])).lower()
        assert inspect.isfunction(owner.__dict__.get(name)), (function, owner.__name__, name)
        assert "Calls %s." % function in inspect.getdoc(owner.__dict__[name])


@pytest.mark.parametrize("function, owner, signature", [
    ("configure_voltage_level", zevra.OutputChannel, "(self, level: float) -> None"),
    ("configure_current_limit", zevra.OutputChannel, "(self, behavior: int, limit: float) -> None"),
    ("measure", zevra.OutputChannel, "(self, measurement_type: zevra.MeasurementType) -> float"),
    ("query_output_state", zevra.OutputChannel, "(self, output_state: zevra.OutputState) -> bool"),
    ("configure_power_on_state", zevra.ZevraApi, "(self, state: zevra.PowerOnState, memory_location: int) -> None"),
    ("configure_digital_function", zevra.ZevraApi,
     "(self, pin_number: int, pin_function: zevra.DigitalPinFunction) -> None"),
    ("start_list", zevra.ZevraApi, "(self, channel: zevra.ChannelNumber) -> None"),
    ("set_output_mode", zevra.ZevraApi, "(self, value: zevra.OutputMode) -> None"),
    ("get_output_mode", zevra.ZevraApi, "(self) -> zevra.OutputMode | int"),
    ("get_system_date", zevra.ZevraApi, "(self) -> str"),
    ("vi_write", zevra.ZevraApi, "(self, buffer: bytes | str) -> int"),
    ("vi_read", zevra.ZevraApi, "(self, buffer_size: int = 65536) -> bytes"),
    ("measure_all_channels", zevra.ZevraApi, "(self) -> zevra.MeasureAllChannelsResult"),
])
def test_signatures(function, owner, signature):
    assert str(inspect.signature(owner.__dict__[function], eval_str=True)) == signature


@pytest.mark.parametrize("function, fields", [
    ("self_test", ("test_result", "test_message")),
    ("error_query", ("error_code", "error_message")),
    ("revision_query", ("driver_rev", "instr_rev")),
    ("measure_selected_channel", ("voltage", "current", "power")),
    ("measure_all_channels", ("voltages", "currents", "powers")),
    ("query_power_on_state", ("state", "memory_location")),
])
def test_several_outputs_come_back_as_named_tuples(function, fields):
    assert typing.get_type_hints(zevra.ZevraApi.__dict__[function])["return"]._fields == fields
