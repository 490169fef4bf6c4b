# SPDX-License-Identifier: MIT
"""examples/python/sweep.py run as a user would, against the emulator (10 ohm on CH1)."""
import os
import subprocess
import sys

import zevra

SWEEP = os.path.join(os.environ["ZEVRA_SOURCE"], "examples", "python", "sweep.py")


def sweep(*args, cwd):
    return subprocess.run([sys.executable, SWEEP, *args], capture_output=True, text=True, timeout=120, cwd=cwd)


def test_the_sweep_prints_and_writes_every_step(emulator, tmp_path):
    done = sweep(emulator.resource, "--stop", "3", "--csv", "out.csv", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    assert done.stdout == ("   set V   measured V   measured A\n"
                           "   0.000       0.0000       0.0000\n"
                           "   1.000       1.0000       0.1000\n"
                           "   2.000       2.0000       0.2000\n"
                           "   3.000       3.0000       0.3000\n"
                           "wrote 4 steps to out.csv\n")
    assert (tmp_path / "out.csv").read_bytes() == (b"set_voltage,voltage,current\r\n0.0,0.0,0.0\r\n1.0,1.0,0.1\r\n"
                                                   b"2.0,2.0,0.2\r\n3.0,3.0,0.3\r\n")


def test_a_refused_level_fails_with_the_instruments_error_and_switches_off(emulator, tmp_path):
    # The sweep switches the output on before the first level, which the instrument refuses.
    done = sweep(emulator.resource, "--start", "999", "--stop", "999", cwd=tmp_path)
    assert done.returncode == 1
    assert done.stderr == ("sweep: 0xBFFA0001 Instrument error detected.  Use ErrorQuery() to determine the "
                           "error(s).\n  -222, Data out of range\n")
    assert not (tmp_path / "sweep.csv").exists()
    with zevra.Session(emulator.resource) as psu:
        assert psu.channels["CH1"].output_enabled is False
