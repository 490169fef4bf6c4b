#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""PyVISA's own assisted test suite, as Debian's python3-pyvisa ships it, run
by PyVISA's ctypes backend with our VISA library against the instrument it
was written for (virtual_instrument: a VXI-11 instrument and a raw socket on
port 5025 of loopback). The run's own configuration file gives the suite its
alias and lists its resources. Tests that fail for the suite's own reasons are
listed in suite_quirks.py.

usage: run_suite.py VIRTUAL_INSTRUMENT LIBVISA
"""
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def start_instrument(program):
    instrument = subprocess.Popen([program, "--socket-port", "5025", "--portmapper-port", "0"],
                                  stdout=subprocess.PIPE, text=True)
    ports = {}
    for _ in range(2):
        match = re.fullmatch(r"listening (\w+) 127\.0\.0\.1 (\d+)", instrument.stdout.readline().strip())
        if match is None:
            instrument.kill()
            sys.exit("the virtual instrument did not start (is port 5025 of loopback taken?)")
        ports[match.group(1)] = match.group(2)
    return instrument, ports


def main(program, libvisa):
    instrument, ports = start_instrument(program)
    try:
        with tempfile.TemporaryDirectory() as work:
            conf = os.path.join(work, "visa.conf")
            with open(conf, "w") as f:
                f.write("alias tcpip TCPIP::127.0.0.1::INSTR\n"
                        "resource TCPIP0::127.0.0.1::inst0::INSTR\n"
                        "resource TCPIP0::127.0.0.1::5025::SOCKET\n"
                        "discovery-window 0\n")
            env = dict(os.environ, PYVISA_KEYSIGHT_VIRTUAL_INSTR="1", PYVISA_LIBRARY=os.path.abspath(libvisa),
                       ZEVRA_VISA_CONF=conf, ZEVRA_VXI11_PORTMAPPER_PORT=ports["VXI11"],
                       PYTHONPATH=HERE, PYTHONDONTWRITEBYTECODE="1")
            return subprocess.run([sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", "-p", "suite_quirks",
                                   "-rfEXx", "--pyargs", "pyvisa.testsuite.keysight_assisted_tests"],
                                  cwd=work, env=env).returncode
    finally:
        instrument.terminate()
        instrument.wait(timeout=10)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    sys.exit(main(sys.argv[1], sys.argv[2]))
