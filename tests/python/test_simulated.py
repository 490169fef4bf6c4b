# SPDX-License-Identifier: MIT
"""The package on simulated sessions: typed properties, enum round trips, every method marshalled,
errors and warnings with the driver's statuses and texts."""
import enum
import inspect
import threading
import typing
import warnings

import pytest

import zevra
from zevra._driver import OutputChannel
from driver_tables import ATTRIBUTES, ENUM_CLASS

TYPES = {"ViBoolean": bool, "ViInt32": int, "ViReal64": float, "ViString": str, "ViSession": int}
INVALID_SESSION_HANDLE = -1074130544
UNKNOWN_PHYSICAL_IDENTIFIER = -1074134937


NO_IO = ("ZEVRA_ERROR_IO", "I/O error.  Direct I/O operations are not available in simulation mode.")
UNEXPECTED_MODULE = ("IVI_ERROR_UNEXPECTED_RESPONSE", "Unexpected response from instrument.  Unexpected module.")


def not_supported(kind, name):
    return ("IVI_ERROR_%s_NOT_SUPPORTED" % kind.upper(),
            "Does not support this class-compliant feature: %s '%s'%s" % (kind, name, "." if kind == "attribute" else ""))


# What a simulated session refuses, and how: the VISA session and timeout need I/O, the instrument
# has no triggered levels, and the module ratings need the module's identity, which reads as empty.
REFUSED_READS = {"system_io_session": NO_IO, "system_io_timeout": NO_IO,
                 "triggered_current_limit": not_supported("attribute", "ZEVRA_ATTR_TRIGGERED_CURRENT_LIMIT"),
                 "triggered_voltage_level": not_supported("attribute", "ZEVRA_ATTR_TRIGGERED_VOLTAGE_LEVEL")}
REFUSED_CALLS = {"vi_write": NO_IO, "vi_read": NO_IO,
                 "query_max_current_limit": UNEXPECTED_MODULE, "query_max_voltage_level": UNEXPECTED_MODULE,
                 "configure_output_range": UNEXPECTED_MODULE,
                 **{name: not_supported("function", c_name) for name, c_name in (
                     ("clear_interchange_warnings", "ClearInterchangeWarnings"),
                     ("get_next_interchange_warning", "GetNextInterchangeWarning"),
                     ("reset_interchange_check", "ResetInterchangeCheck"), ("initiate", "Initiate"),
                     ("abort", "Abort"), ("configure_triggered_current_limit", "ConfigureTriggeredCurrentLimit"),
                     ("configure_triggered_voltage_level", "ConfigureTriggeredVoltageLevel"))}}


def owner_of(psu, row):
    return psu.channels["CH2"] if row[4] else psu


@pytest.mark.parametrize("row", [r for r in ATTRIBUTES if r[5]], ids=lambda r: r[0])
def test_every_readable_attribute_reads_as_its_python_type(simulated, row):
    name, _, _, type_name, _, _, _, enum_name, _ = row
    if name in REFUSED_READS:
        with pytest.raises(zevra.Error) as raised:
            getattr(owner_of(simulated, row), name)
        assert (raised.value.name, raised.value.description) == REFUSED_READS[name]
        return
    value = getattr(owner_of(simulated, row), name)
    assert type(value) is TYPES[type_name] or (enum_name and type(value).__name__ != "int"), (name, value)
    if enum_name:
        assert isinstance(value, getattr(zevra, ENUM_CLASS[enum_name])), (name, value)


@pytest.mark.parametrize("row", [r for r in ATTRIBUTES if r[7] and r[5] and r[6]], ids=lambda r: r[0])
def test_enum_attributes_round_trip_every_member(simulated, row):
    owner = owner_of(simulated, row)
    for member in getattr(zevra, ENUM_CLASS[row[7]]):
        setattr(owner, row[0], member)
        assert getattr(owner, row[0]) is member


def test_values_of_each_type_round_trip(simulated):
    ch = simulated.channels["CH1"]
    ch.voltage_level = 4.25
    ch.ovp_limit = 20  # an int is taken as a real
    ch.output_enabled = True
    simulated.list_dwell = 7
    simulated.system_date = "2026,12,7"
    assert (ch.voltage_level, ch.ovp_limit, ch.output_enabled) == (4.25, 20.0, True)
    assert (simulated.list_dwell, simulated.system_date) == (7, "2026,12,7")
    assert simulated.channels["CH2"].voltage_level == 0.0  # one channel's value is not another's


@pytest.mark.parametrize("name, value", [("voltage_level", "5"), ("voltage_level", None), ("output_enabled", 1.5),
                                         ("voltage_level", True)])
def test_values_of_the_wrong_type_raise_type_error(simulated, name, value):
    with pytest.raises(TypeError):
        setattr(simulated.channels["CH1"], name, value)


def test_read_only_attributes_have_no_setter(simulated):
    with pytest.raises(AttributeError):
        simulated.instrument_model = "QDX9999"


def sample(annotation):
    if isinstance(annotation, type) and issubclass(annotation, enum.IntEnum):
        return list(annotation)[0]
    return {float: 1.0, int: 1, bool: True, bytes | str: b"*IDN?\n", str: "x"}[annotation]


METHODS = [(owner, name) for owner in (zevra.ZevraApi, zevra.OutputChannel) for name, value in vars(owner).items()
           if inspect.isfunction(value) and not name.startswith("_")]


@pytest.mark.parametrize("owner, name", METHODS, ids=lambda x: getattr(x, "__name__", x))
def test_every_method_runs_and_returns_what_its_signature_says(simulated, owner, name):
    target = simulated.channels["CH1"] if owner is zevra.OutputChannel else simulated
    function = getattr(target, name)
    signature = inspect.signature(function, eval_str=True)
    args = [sample(p.annotation) for p in signature.parameters.values() if p.default is inspect.Parameter.empty]
    if name in REFUSED_CALLS:
        with pytest.raises(zevra.Error) as raised:
            function(*args)
        assert (raised.value.name, raised.value.description) == REFUSED_CALLS[name]
        return
    result = function(*args)
    expected = signature.return_annotation
    if expected is None:
        assert result is None
    elif expected == list[float]:
        assert isinstance(result, list) and all(type(v) is float for v in result), (name, result)
    elif isinstance(expected, type) and issubclass(expected, tuple):
        assert isinstance(result, expected) and len(result) == len(expected._fields), (name, result)
        hints = typing.get_type_hints(typing.get_type_hints(function)["return"])
        for field in expected._fields:
            check = hints.get(field, object)
            check = list if check == list[float] else check
            assert isinstance(getattr(result, field), typing.get_args(check) or check), (name, field)
    else:
        assert isinstance(result, typing.get_args(expected) or expected), (name, result)


def test_outputs(simulated):
    assert simulated.self_test() == (0, "Selftest passed")
    assert simulated.error_query() == (0, "No error.")
    assert simulated.revision_query().instr_rev == "Sim1.0.0.0"
    assert simulated.measure_all_channels() == ([0.0], [0.0], [0.0])
    assert [ch.name for ch in simulated.channels] == ["CH1", "CH2", "CH3", "CH4"]
    assert len(simulated.channels) == 4 and "CH4" in simulated.channels and "CH5" not in simulated.channels


def test_repr_names_the_instrument(simulated):
    assert repr(simulated) == ("<zevra.Zevra 'TCPIP0::127.0.0.1::5025::SOCKET' Halmeric QDX7001, "
                               "firmware Sim1.0.0.0>")
    assert repr(simulated.channels[2]) == "<zevra.OutputChannel 'CH2'>"


@pytest.mark.parametrize("key, status, description", [
    ("CH9", UNKNOWN_PHYSICAL_IDENTIFIER, "Unknown physical repeated capability selector.  The identifier 'CH9' is "
                                         "not defined for repeated capability 'OutputChannel'."),
    # The driver's message names the index from 0.
    (5, -1074135024, "Invalid value '4' for function 'GetOutputChannelName', parameter 'Index'."),
    (0, -1074135024, "Invalid value '-1' for function 'GetOutputChannelName', parameter 'Index'."),
])
def test_unknown_channels_raise_the_drivers_error(simulated, key, status, description):
    with pytest.raises(zevra.Error) as raised:
        simulated.channels[key]
    assert (raised.value.status, raised.value.description) == (status, description)
    assert str(raised.value) == "0x%08X %s" % (status & 0xFFFFFFFF, description)


def test_channels_are_named_by_str_or_int_only(simulated):
    with pytest.raises(TypeError):
        simulated.channels[1.0]
    with pytest.raises(TypeError):
        simulated.channels[True]


def test_open_failure_raises_with_the_threads_description():
    with pytest.raises(zevra.Error) as raised:
        zevra.Session("TCPIP0::127.0.0.1::5025::SOCKET", simulate=True, options="Cache=maybe")
    assert raised.value.name == "IVI_ERROR_BAD_OPTION_VALUE"
    assert "maybe" in raised.value.description


def test_a_closed_session_answers_invalid_session_handle():
    psu = zevra.Session("TCPIP0::127.0.0.1::5025::SOCKET", simulate=True)
    psu.close()
    psu.close()
    assert psu.closed and repr(psu) == "<zevra.Zevra 'TCPIP0::127.0.0.1::5025::SOCKET' closed>"
    with pytest.raises(zevra.Error) as raised:
        psu.reset()
    assert (raised.value.status, raised.value.description) == (INVALID_SESSION_HANDLE, "Invalid session handle.")


def test_a_warning_status_warns_with_its_text():
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        zevra._errors.check(zevra._native.native(), 0, 0x3FFA0065)
    assert len(caught) == 1 and caught[0].category is zevra.ZevraWarning
    warning = caught[0].message
    assert (warning.status, warning.name) == (0x3FFA0065, "IVI_WARN_NSUP_ID_QUERY")
    assert str(warning) == "0x3FFA0065 ID Query is not supported by this instrument."


def test_two_threads_on_one_session_each_see_only_their_own_errors(simulated):
    """A call and the fetch of its error are one step: another thread's failure never shows up in mine."""
    failures = []

    def failing():
        for _ in range(300):
            try:
                simulated.channels["CH9"]
                failures.append("no error for CH9")
            except zevra.Error as error:
                if error.status != UNKNOWN_PHYSICAL_IDENTIFIER:
                    failures.append(error)

    def working():
        ch = simulated.channels["CH1"]
        for i in range(300):
            try:
                ch.voltage_level = float(i)
                if ch.voltage_level != float(i):
                    failures.append("read back %r" % ch.voltage_level)
            except zevra.Error as error:
                failures.append(error)

    threads = [threading.Thread(target=failing), threading.Thread(target=working)]
    for t in threads:
        t.start()
    for t in threads:
        t.join(timeout=60)
    assert failures == []


def test_failures_at_once_on_one_session_each_keep_their_own_description(simulated):
    """Two threads failing on one session at the same moment, with one status and the driver's
    two descriptions (writes, which hold no lock of the package's): each error is its own."""
    wrong = []

    def failing(name):
        channel = OutputChannel(simulated, name)  # a name the session does not have
        for _ in range(2000):
            try:
                channel.voltage_level = 1.0
                wrong.append("%s: no error" % name)
            except zevra.Error as error:
                if "'%s'" % name not in error.description:
                    wrong.append("%s: %s" % (name, error.description))

    threads = [threading.Thread(target=failing, args=(name,)) for name in ("CH8", "CH9")]
    for t in threads:
        t.start()
    for t in threads:
        t.join(timeout=60)
    assert wrong == []


def test_locked_holds_the_session_across_calls(simulated):
    ch = simulated.channels["CH1"]
    inside, release, done = threading.Event(), threading.Event(), threading.Event()
    order = []

    def holder():
        with simulated.locked():
            ch.voltage_level = 1.0
            inside.set()
            release.wait(10)
            order.append(ch.voltage_level)

    def other():
        inside.wait(10)
        ch.voltage_level = 2.0
        order.append("other")
        done.set()

    threads = [threading.Thread(target=holder), threading.Thread(target=other)]
    for t in threads:
        t.start()
    inside.wait(10)
    assert not done.wait(0.2)  # the other thread waits for the lock
    release.set()
    for t in threads:
        t.join(timeout=10)
    assert order == [1.0, "other"] and ch.voltage_level == 2.0
