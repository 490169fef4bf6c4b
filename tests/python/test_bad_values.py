# SPDX-License-Identifier: MIT
"""Values that cannot be what the caller meant are refused before anything is sent: NaN and infinities
for real numbers, NUL characters inside strings; text from an instrument is shown escaped in a repr."""
import math
import socket
import threading

import pytest

import zevra


@pytest.mark.parametrize("value", [math.nan, math.inf, -math.inf])
def test_real_values_must_be_finite(psu, emulator, value):
    ch = psu.channels["CH1"]
    with pytest.raises(ValueError, match="finite"):
        ch.voltage_level = value
    with pytest.raises(ValueError, match="finite"):
        ch.configure_voltage_level(value)
    with pytest.raises(ValueError, match="finite"):
        ch.configure_current_limit(0, value)
    assert emulator.transcript() == ""  # nothing reached the instrument


@pytest.mark.parametrize("options", ["Simulate=1\0Cache=0", "Simulate=1, DriverSetup=Model=QDX7000\0x"])
def test_strings_with_a_nul_are_refused(options):
    with pytest.raises(ValueError, match="NUL"):
        zevra.Session("TCPIP0::127.0.0.1::5025::SOCKET", options=options)
    with pytest.raises(ValueError, match="NUL"):
        zevra.Session("PSU1\0ignored", simulate=True)


def test_a_channel_name_with_a_nul_is_refused(simulated):
    with pytest.raises(ValueError, match="NUL"):
        simulated.channels["CH1\0CH2"]


def test_counted_bytes_may_hold_a_nul(psu):
    assert psu.vi_write(b"*CLS\0\n") == 6  # sent whole: the count says where the data ends


def _fake_instrument(idn):
    """A loopback instrument answering *IDN? with `idn`, status queries with 0; returns its resource name."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)

    def serve():
        conn, _ = listener.accept()
        with conn:
            pending = b""
            while True:
                data = conn.recv(4096)
                if not data:
                    return
                pending += data
                while b"\n" in pending:
                    line, pending = pending.split(b"\n", 1)
                    for command in line.split(b";"):
                        command = command.strip().upper()
                        if command == b"*IDN?":
                            conn.sendall(idn + b"\n")
                        elif command.endswith(b"?"):
                            conn.sendall(b"0\n")

    threading.Thread(target=serve, daemon=True).start()
    return "TCPIP0::127.0.0.1::%d::SOCKET" % listener.getsockname()[1]


def test_repr_escapes_what_the_instrument_said():
    resource = _fake_instrument(b"Halmeric\x1b]0;owned\x07,QDX7001,SN1,1.00\x1b[2J")
    with zevra.Session(resource) as psu:
        shown = repr(psu)
    assert "\x1b" not in shown and "\x07" not in shown
    assert shown.endswith("Halmeric\\x1b]0;owned\\x07 QDX7001, firmware 1.00\\x1b[2J>")
