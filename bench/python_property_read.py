#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Cost of the zevra package over the bare ctypes call it makes, side by side in one run, and
the cost of importing it.

Times, on a simulated session, a channel property read (ch.voltage_level), a session property
read (psu.range_check), a property write and a method call, each against the same driver call
made directly through ctypes with a prepared argument (the floor any ctypes binding pays).
The modes are interleaved in small blocks; medians of ROUNDS rounds. Memory: what the Python
side of one open session and of one channel object holds (tracemalloc), and process RSS
after opening SESSIONS sessions. Import: `python3 -c "import zevra"` against
`python3 -c "import ctypes"` and `python3 -c pass`, the same interpreter, byte code compiled,
interleaved, medians of IMPORTS runs each.

usage: ZEVRA_LIBRARY=build/lib/libZEVRA_64.so.1 PYTHONPATH=python \\
       python3 bench/python_property_read.py [ROUNDS] [IMPORTS]
Needs a configuration store that registers the driver (IVICONFIGSERVERDEFAULT or the master store).
"""
import compileall
import ctypes
import os
import re
import statistics
import subprocess
import sys
import time
import tracemalloc

import zevra

BLOCK = 2000
RESOURCE = "TCPIP0::127.0.0.1::5025::SOCKET"
SESSIONS = 100


def rss_kib():
    with open("/proc/self/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))


HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "include", "ZEVRA.h")


def attribute_id(constant):
    with open(HEADER) as f:
        return int(re.search(r"^#define %s (\d+)" % constant, f.read(), re.M).group(1))


def import_times(runs):
    """Median wall time in ms of a fresh interpreter running each snippet."""
    compileall.compile_dir(os.path.dirname(zevra.__file__), quiet=1)
    snippets = {"pass": "pass", "import ctypes": "import ctypes", "import zevra": "import zevra"}
    times = {name: [] for name in snippets}
    for _ in range(runs):
        for name, code in snippets.items():
            start = time.perf_counter()
            subprocess.run([sys.executable, "-c", code], check=True)
            times[name].append((time.perf_counter() - start) * 1000)
    return {name: statistics.median(values) for name, values in times.items()}


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 15
    imports = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    psu = zevra.Zevra(RESOURCE, simulate=True)
    ch = psu.channels["CH1"]
    ch.voltage_level = 1.5
    f = psu._c
    vi = psu._vi
    value = ctypes.c_double()
    flag = ctypes.c_uint16()
    out = ctypes.byref(value)
    volt, rc = attribute_id("ZEVRA_ATTR_VOLTAGE_LEVEL"), attribute_id("ZEVRA_ATTR_RANGE_CHECK")
    get_real, get_bool, set_real = f.ZEVRA_GetAttributeViReal64, f.ZEVRA_GetAttributeViBoolean, f.ZEVRA_SetAttributeViReal64
    measure = f.ZEVRA_Measure

    def package_channel_get():
        return ch.voltage_level

    def raw_channel_get():
        get_real(vi, b"CH1", volt, out)
        return value.value

    def package_session_get():
        return psu.range_check

    def raw_session_get():
        get_bool(vi, b"", rc, ctypes.byref(flag))
        return bool(flag.value)

    def package_set():
        ch.voltage_level = 1.5

    def raw_set():
        set_real(vi, b"CH1", volt, 1.5)

    voltage = zevra.MeasurementType.VOLTAGE  # prepared, as the bare call's arguments are

    def package_method():
        return ch.measure(voltage)

    def raw_method():
        measure(vi, b"CH1", 1, out)
        return value.value

    pairs = [("channel property read", package_channel_get, raw_channel_get),
             ("session property read", package_session_get, raw_session_get),
             ("channel property write", package_set, raw_set),
             ("method ch.measure()", package_method, raw_method)]
    times = {name: ([], []) for name, _, _ in pairs}
    for _ in range(rounds):
        for name, package, raw in pairs:
            for index, function in enumerate((package, raw)):
                start = time.perf_counter_ns()
                for _ in range(BLOCK):
                    function()
                times[name][index].append((time.perf_counter_ns() - start) / BLOCK / 1000)

    print("%-24s %12s %12s %8s" % ("operation (simulated)", "zevra µs", "ctypes µs", "ratio"))
    for name, (package, raw) in times.items():
        p, r = statistics.median(package), statistics.median(raw)
        print("%-24s %12.2f %12.2f %7.2fx" % (name, p, r, p / r))

    taken = import_times(imports)
    print("%-24s %12s %12s %8s" % ("import (fresh process)", "zevra ms", "ctypes ms", "ratio"))
    print("%-24s %12.1f %12.1f %7.2fx   (python3 -c pass: %.1f ms)" % (
        "import zevra", taken["import zevra"], taken["import ctypes"],
        taken["import zevra"] / taken["import ctypes"], taken["pass"]))

    tracemalloc.start()
    before = tracemalloc.take_snapshot()
    extra = zevra.Zevra(RESOURCE, simulate=True)
    opened = tracemalloc.take_snapshot()
    channel = extra.channels["CH2"]
    named = tracemalloc.take_snapshot()
    tracemalloc.stop()
    session_bytes = sum(s.size_diff for s in opened.compare_to(before, "filename"))
    channel_bytes = sum(s.size_diff for s in named.compare_to(opened, "filename"))
    rss_before = rss_kib()
    many = [zevra.Zevra(RESOURCE, simulate=True) for _ in range(SESSIONS)]
    rss_after = rss_kib()
    print("memory: Python side of a session %d B, of a channel object %d B; RSS +%d kB for %d more sessions "
          "(%.1f kB each, driver included)" % (session_bytes, channel_bytes, rss_after - rss_before, SESSIONS,
                                              (rss_after - rss_before) / SESSIONS))
    for s in many + [extra, psu]:
        s.close()
    del channel


if __name__ == "__main__":
    main()
