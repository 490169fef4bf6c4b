# SPDX-License-Identifier: MIT
"""The tests of PyVISA's assisted suite that fail for reasons of the suite's
own, each with its reason. They are expected to fail, strictly: one that
starts to pass fails the run, so the list stays true."""
import pytest

TIMEOUT_ROUNDING = ("sets VI_TMO_IMMEDIATE (0) and expects to read back 1 ms, as the library the suite was written "
                    "against rounds it; VISA reads back the value set, and ours gives 0")

QUIRKS = {
    "test_tcpip_resources.py::TestTCPIPInstr::test_timeout": TIMEOUT_ROUNDING,
    "test_tcpip_resources.py::TestTCPIPInstr::test_attribute_handling": TIMEOUT_ROUNDING,
    "test_tcpip_resources.py::TestTCPIPSocket::test_timeout": TIMEOUT_ROUNDING,
    "test_tcpip_resources.py::TestTCPIPSocket::test_attribute_handling": TIMEOUT_ROUNDING,
    "test_tcpip_resources.py::TestTCPIPSocket::test_stb": (
        "reads the status byte of a raw socket with VI_ATTR_IO_PROT left at VI_PROT_NORMAL: a socket carries no "
        "status byte, so VISA answers VI_ERROR_NSUP_OPER unless the 488.2-strings protocol is chosen"),
    "test_tcpip_resources.py::TestTCPIPInstr::test_getting_unknown_buffer": (
        "expects no buffer for job ID 1, but PyVISA's ctypes backend keeps the buffer of every asynchronous read, "
        "and the test before it started this process's first job, whose ID is 1"),
    "test_shell.py::TestVisaShell::test_read_write": (
        "expects the identity of the vendor's own virtual instrument ('Keysight ' in the *IDN? reply); the "
        "instrument here answers with its own"),
}


def pytest_collection_modifyitems(items):
    for item in items:
        reason = QUIRKS.get(item.nodeid.rsplit("/", 1)[-1])
        if reason is not None:
            item.add_marker(pytest.mark.xfail(reason=reason, strict=True))
