# SPDX-License-Identifier: MIT
"""The package against qdx-emulator over loopback: the bytes on the wire, measured values,
the instrument's queued errors, logical and virtual names, threads sharing a session."""
import threading

import pytest

import zevra

INSTRUMENT_STATUS = -1074135039


def test_a_property_set_and_get_send_exactly_the_attributes_commands(psu, emulator):
    ch = psu.channels["CH2"]
    ch.voltage_level = 5
    assert emulator.transcript() == "INST:SEL 1\n*ESR?\n:VOLT 5\n*ESR?\n"
    assert ch.voltage_level == 5.0
    assert emulator.transcript() == "INST:SEL 1\n*ESR?\n:VOLT?\n*ESR?\n"
    psu.list_terminate_state = zevra.ListTerminateState.LAST
    assert psu.list_terminate_state is zevra.ListTerminateState.LAST


def test_methods_configure_and_measure_through_the_load(psu, emulator):
    ch = psu.channels[1]  # 10 ohm on CH1
    ch.configure_voltage_level(5.0)
    ch.configure_current_limit(0, 1.0)
    ch.output_enabled = True
    assert ch.measure(zevra.MeasurementType.VOLTAGE) == 5.0
    assert ch.measure(zevra.MeasurementType.CURRENT) == 0.5
    assert ch.query_output_state(zevra.OutputState.CONSTANT_VOLTAGE) is True
    assert ch.query_output_state(zevra.OutputState.CONSTANT_CURRENT) is False
    assert psu.measure_all_channels() == ([5.0, 0.0, 0.0, 0.0], [0.5, 0.0, 0.0, 0.0], [2.5, 0.0, 0.0, 0.0])
    assert psu.self_test() == (0, "Selftest passed")
    assert psu.revision_query().instr_rev == "1.00"


def test_an_instrument_error_carries_the_instruments_queue(psu, emulator):
    ch = psu.channels["CH2"]
    with pytest.raises(zevra.Error) as raised:
        ch.voltage_level = 1000
    error = raised.value
    assert error.status == INSTRUMENT_STATUS and error.name == "IVI_ERROR_INSTRUMENT_STATUS"
    assert error.description == ("Instrument error detected.  Use ErrorQuery() to determine the error(s).\n"
                                 "  -222, Data out of range")
    assert error.instrument_errors == [(-222, "Data out of range")]
    assert emulator.transcript() == "INST:SEL 1\n*ESR?\n:VOLT 1000\n*ESR?\n:SYST:ERR?\n:SYST:ERR?\n"
    assert psu.error_query() == (0, "No error")
    assert ch.voltage_level == 0.0  # the refused value was not taken


def test_direct_io(psu):
    assert psu.vi_write("*IDN?\n") == 6
    assert psu.vi_read() == b"Halmeric,QDX7001,QDX7001-000001,1.00\n"
    psu.vi_write(b"*IDN?\n")
    assert psu.vi_read(8) == b"Halmeric"  # the rest of the reply is discarded
    psu.vi_write(b"*OPC?\n")
    assert psu.vi_read() == b"1\n"


def test_a_logical_name_and_the_stores_virtual_names(emulator):
    with zevra.Session("PSU1", reset=True) as psu:
        assert psu.logical_name == "PSU1" and psu.io_resource_descriptor == emulator.resource
        emulator.transcript()
        psu.channels["Aux"].voltage_level = 3.5
        assert psu.channels["CH3"].voltage_level == 3.5  # the reply also shows the write has arrived
        assert emulator.transcript() == "INST:SEL 2\n:VOLT 3.5\nINST:SEL 2\n:VOLT?\n"
        out1 = psu.channels["Out1"]
        out1.configure_voltage_level(1.25)
        assert psu.channels[1].voltage_level == 1.25 and out1.name == "Out1"
        with pytest.raises(zevra.Error) as raised:
            psu.channels["Out2"]
        assert raised.value.name == "IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER"


def test_threads_on_one_session_keep_channel_selection_and_reply_together(psu):
    """Each Set/Get selects its channel first; two threads on two channels must never cross."""
    crossed = []

    def work(name, base):
        ch = psu.channels[name]
        for i in range(40):
            value = round(base + i / 100, 2)  # what 15 significant digits carry exactly
            ch.voltage_level = value
            if ch.voltage_level != value:
                crossed.append((name, value))

    threads = [threading.Thread(target=work, args=("CH2", 1.0)), threading.Thread(target=work, args=("CH3", 2.0))]
    for t in threads:
        t.start()
    for t in threads:
        t.join(timeout=120)
    assert crossed == [] and not any(t.is_alive() for t in threads)


def test_sessions_on_several_threads_work_at_once(emulator):
    # No channel settings here: the instrument has one selected channel for all its connections.
    results = []

    def work():
        with zevra.Session(emulator.resource) as psu:
            for _ in range(10):
                results.append((psu.instrument_model, psu.self_test()))

    threads = [threading.Thread(target=work) for _ in range(3)]
    for t in threads:
        t.start()
    for t in threads:
        t.join(timeout=60)
    assert results == [("QDX7001", (0, "Selftest passed"))] * 30


def test_a_visa_failure_carries_the_visa_librarys_name_and_description():
    with pytest.raises(zevra.Error) as raised:
        zevra.Session("TCPIP0::127.0.0.1::1::SOCKET")  # nobody listens on port 1
    error = raised.value
    assert (error.status & 0xFFFFFFFF, error.name) == (0xBFFF0011, "VI_ERROR_RSRC_NFOUND")
    assert error.description == ("Insufficient location information or the requested device or resource is not "
                                 "present in the system.")
    assert str(error) == "0xBFFF0011 " + error.description
