# SPDX-License-Identifier: MIT
"""Fixtures for the zevra package tests: a configuration store, the emulator, open sessions.

The tests run from ctest with ZEVRA_LIBRARY (the built driver), ZEVRA_BIN (the built programs)
and PYTHONPATH (the package's source) in the environment.
"""
import os
import re
import signal
import subprocess
import sys

import pytest

BIN = os.environ["ZEVRA_BIN"]


def program(name):
    return os.path.join(BIN, name)


class Emulator:
    """qdx-emulator on a free loopback port, recording every line it receives."""

    def __init__(self, directory, *args):
        self.transcript_path = os.path.join(directory, "transcript-%d.txt" % id(self))
        self.process = subprocess.Popen([program("qdx-emulator"), "--port", "0", "--transcript", self.transcript_path,
                                         *args], stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline().strip()
        match = re.fullmatch(r"listening SOCKET (\S+) (\d+)", line)
        assert match, "the emulator said %r" % line
        self.resource = "TCPIP0::%s::%s::SOCKET" % match.groups()

    def transcript(self):
        """The lines the emulator received so far, one per line; each call returns only what is new.
        (The file also holds the replies, each entry after its time: "TIME > line", "TIME < reply".)"""
        with open(self.transcript_path) as f:
            text = f.read()
        new, self._seen = text[getattr(self, "_seen", 0):], len(text)
        received = [line.split(" ", 2)[2] for line in new.splitlines() if line.split(" ", 2)[1:2] == [">"]]
        return "".join(line + "\n" for line in received)

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(timeout=10)
        self.process.stdout.close()


@pytest.fixture(scope="session")
def workdir(tmp_path_factory):
    return str(tmp_path_factory.mktemp("zevra"))


@pytest.fixture(scope="session")
def emulator(workdir):
    running = Emulator(workdir, "--load", "1=10")
    yield running
    running.stop()


@pytest.fixture(scope="session", autouse=True)
def store(workdir, emulator):
    """A store naming the emulator: logical name PSU1, virtual names Out1 (CH1) and Aux (CH3)."""
    path = os.path.join(workdir, "store.xml")
    os.environ["IVICONFIGSERVERDEFAULT"] = path
    for args in (["create"], ["register-driver"], ["add-asset", "emulator", emulator.resource],
                 ["add-session", "QDX", "--asset", "emulator"], ["add-logical-name", "PSU1", "QDX"],
                 ["add-virtual-name", "QDX", "Out1", "CH1"], ["add-virtual-name", "QDX", "Aux", "CH3"]):
        subprocess.run([program("ivi-config"), *args], check=True, capture_output=True)
    return path


@pytest.fixture
def simulated():
    import zevra
    with zevra.Session("TCPIP0::127.0.0.1::5025::SOCKET", simulate=True) as psu:
        yield psu


@pytest.fixture
def psu(emulator):
    """A session on the emulator, reset, with the instrument's status checked after every call."""
    import zevra
    with zevra.Session(emulator.resource, reset=True, options="QueryInstrStatus=1") as session:
        emulator.transcript()
        yield session


sys.path.insert(0, os.path.dirname(__file__))
