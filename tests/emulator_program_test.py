# SPDX-License-Identifier: MIT
"""qdx-emulator as a program, and independent clients against it.

PyVISA with its pure-Python backend (an independent VISA implementation) and
our own VISA library (through ctypes) talk to the same emulator and must get
the same answers.

usage: emulator_program_test.py QDX_EMULATOR LIBVISA
"""
import ctypes
import os
import re
import tempfile
import time
import socket
import signal
import subprocess
import sys
import unittest

EMULATOR = None
LIBVISA = None

VI_ATTR_TERMCHAR = 0x3FFF0018
VI_ATTR_TERMCHAR_EN = 0x3FFF0038


# Other programs run without the sanitizer runtimes this process may have preloaded.
TOOL_ENV = {k: v for k, v in os.environ.items() if k not in ("LD_PRELOAD", "ASAN_OPTIONS")}


class Emulator:
    """Runs qdx-emulator on a free loopback port."""

    def __init__(self, *args):
        self.process = subprocess.Popen([EMULATOR, "--port", "0", *args],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.banner = self.process.stdout.readline().strip()
        match = re.fullmatch(r"listening SOCKET (\S+) (\d+)", self.banner)
        if not match:
            self.stop()
            raise AssertionError("unexpected first line: %r" % self.banner)
        self.address, self.port = match.group(1), int(match.group(2))
        self.resource = "TCPIP0::%s::%d::SOCKET" % (self.address, self.port)
        # One more line for each other transport asked for.
        self.ports = {}
        self.serial_path = None
        for _ in range(("--vxi11" in args) + ("--hislip" in args) + ("--serial" in args) + ("--gpib-adapter" in args)):
            line = self.process.stdout.readline().strip()
            match = re.fullmatch(r"listening (VXI11|HISLIP|ASRL|PRLGX) (\S+) (\d+)", line)
            if not match:
                self.stop()
                raise AssertionError("unexpected line: %r" % line)
            self.ports[match.group(1)] = int(match.group(3))  # the baud rate for ASRL
            if match.group(1) == "ASRL":
                self.serial_path = match.group(2)

    def stop(self, sig=signal.SIGTERM):
        if self.process.poll() is None:
            self.process.send_signal(sig)
        try:
            return self.process.wait(timeout=10)
        finally:
            self.process.stdout.close()
            self.process.stderr.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class OurVisa:
    """Our VISA library through its C API."""

    def __init__(self, resource):
        self.lib = ctypes.CDLL(LIBVISA)
        self.lib.viSetAttribute.argtypes = [ctypes.c_uint32, ctypes.c_uint32, ctypes.c_uint64]
        self.rm = ctypes.c_uint32()
        self.vi = ctypes.c_uint32()
        self._check(self.lib.viOpenDefaultRM(ctypes.byref(self.rm)))
        self._check(self.lib.viOpen(self.rm, resource.encode(), 0, 2000, ctypes.byref(self.vi)))
        self._check(self.lib.viSetAttribute(self.vi, VI_ATTR_TERMCHAR, 10))
        self._check(self.lib.viSetAttribute(self.vi, VI_ATTR_TERMCHAR_EN, 1))

    @staticmethod
    def _check(status):
        if status < 0:
            raise AssertionError("VISA status 0x%08X" % (status & 0xFFFFFFFF))

    def write(self, command):
        self._check(self.lib.viPrintf(self.vi, b"%s\n", command.encode()))

    def query(self, query):
        buffer = ctypes.create_string_buffer(1024)
        count = ctypes.c_int32(1024)
        self._check(self.lib.viQueryf(self.vi, b"%s\n", b"%#[^\n]%*t", query.encode(),
                                      ctypes.byref(count), buffer))
        assert count.value == len(buffer.value)
        return buffer.value.decode()

    def close(self):
        self.lib.viClose(self.rm)


class PyVisa:
    def __init__(self, resource):
        import pyvisa
        self.rm = pyvisa.ResourceManager("@py")
        self.inst = self.rm.open_resource(resource, read_termination="\n",
                                          write_termination="\n", timeout=2000)

    def write(self, command):
        self.inst.write(command)

    def query(self, query):
        return self.inst.query(query)

    def close(self):
        self.inst.close()
        self.rm.close()


EXCHANGES = [
    ("query", "*IDN?"),
    ("query", "*OPC?"),
    ("write", "VOLT 2.5"),
    ("query", "VOLT?"),
    ("query", "CURR 0.125;CURR?;*OPC?"),
    ("write", "EMUL:LOAD 1,10;:OUTP ON"),
    ("query", "MEAS:ALL?"),
    ("query", "MEAS:ALLCH?"),
    ("write", "VOLT 99"),
    ("query", "*ESR?"),
    ("query", ":SYST:ERR?"),
    ("query", ":SYST:ERR?"),
]


class EmulatorProgram(unittest.TestCase):
    def test_prints_where_it_listens_and_stops_cleanly_on_sigterm_and_sigint(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            emulator = Emulator()
            self.assertEqual(emulator.address, "127.0.0.1")
            self.assertGreater(emulator.port, 0)
            self.assertEqual(emulator.stop(sig), 0)

    def test_a_flood_without_line_feed_costs_bounded_memory_and_holds_no_one_up(self):
        with Emulator() as emulator:
            flood = socket.create_connection((emulator.address, emulator.port))
            other = socket.create_connection((emulator.address, emulator.port))
            chunk = b"X" * (1 << 20)
            start = time.monotonic()
            for i in range(64):
                flood.sendall(chunk)
                if i == 32:
                    # Another client is answered while the flood goes on.
                    other.sendall(b"*IDN?\n")
                    self.assertTrue(other.makefile("rb").readline().startswith(b"Halmeric,QDX7001"))
            flood.sendall(b"\n*IDN?\n")
            reply = flood.makefile("rb")
            self.assertTrue(reply.readline().startswith(b"Halmeric,QDX7001"))
            flood.sendall(b"SYST:ERR?\n")
            self.assertEqual(reply.readline(), b'-223,"Too much data"\n')
            flood.sendall(b"SYST:ERR?\n")
            self.assertEqual(reply.readline(), b'0,"No error"\n')
            self.assertLess(time.monotonic() - start, 30)  # a bound on a hang, not a timing
            with open("/proc/%d/status" % emulator.process.pid) as status:
                rss_kb = int(re.search(r"VmHWM:\s+(\d+) kB", status.read()).group(1))
            self.assertLess(rss_kb, 200 * 1024, "the emulator kept the flood")
            flood.close()
            other.close()

    def test_sigterm_ends_it_while_a_client_does_not_read(self):
        emulator = Emulator()
        stuck = socket.create_connection((emulator.address, emulator.port))
        stuck.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        # Replies pile up until the emulator's send blocks on the full socket.
        stuck.sendall(b"*IDN?\n" * 200000)
        time.sleep(0.5)
        start = time.monotonic()
        self.assertEqual(emulator.stop(signal.SIGTERM), 0)
        self.assertLess(time.monotonic() - start, 5)  # a bound on a hang
        stuck.close()

    def test_out_of_descriptors_it_backs_off_instead_of_spinning(self):
        import resource
        linked = subprocess.run(["ldd", EMULATOR], capture_output=True, text=True).stdout
        if "libubsan" in linked or "libasan" in linked:
            # UBSan checks a virtual call's target by opening a pipe: with no descriptor left it
            # reports every such call as a fault, so this runs in the released build only.
            self.skipTest("the sanitizers need descriptors of their own")

        def few_descriptors():
            resource.setrlimit(resource.RLIMIT_NOFILE, (24, 24))

        process = subprocess.Popen([EMULATOR, "--port", "0"], stdout=subprocess.PIPE, text=True,
                                   preexec_fn=few_descriptors)
        try:
            port = int(process.stdout.readline().split()[3])
            clients = [socket.create_connection(("127.0.0.1", port)) for _ in range(40)]
            time.sleep(0.3)

            def cpu_seconds():
                with open("/proc/%d/stat" % process.pid) as f:
                    fields = f.read().rsplit(")", 1)[1].split()
                return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

            before = cpu_seconds()
            time.sleep(1.0)
            # A loop on accept would burn the whole second; backing off costs next to nothing.
            self.assertLess(cpu_seconds() - before, 0.3)
            for c in clients[:20]:
                c.close()
            time.sleep(0.3)
            # Once descriptors are free again, the next waiting client is served.
            clients[20].sendall(b"*IDN?\n")
            clients[20].settimeout(5)
            self.assertTrue(clients[20].makefile("rb").readline().startswith(b"Halmeric,QDX7001"))
            for c in clients[20:]:
                c.close()
        finally:
            process.send_signal(signal.SIGTERM)
            self.assertEqual(process.wait(timeout=10), 0)
            process.stdout.close()

    def test_bad_options_are_refused(self):
        for args, message in ((["--port", "70000"], "bad port '70000'"), (["--port", "x"], "bad port 'x'"),
                              (["--bogus"], "unknown or incomplete option '--bogus'"),
                              (["--modules", "QDX7102,,,,QDX7301"], "--modules takes at most four models, one a slot"),
                              (["--modules", "QDX7102,BOGUS"], "unknown module 'BOGUS'"),
                              (["--load", "1x=5"], "--load takes CH=OHMS, CH 1 to 4"),
                              (["--load", "5=10"], "--load takes CH=OHMS, CH 1 to 4"),
                              (["--load", "1=-5"], "--load takes CH=OHMS, CH 1 to 4")):
            result = subprocess.run([EMULATOR, *args], capture_output=True, text=True, timeout=10)
            self.assertEqual(result.returncode, 2, args)
            self.assertEqual(result.stderr.splitlines()[0], "qdx-emulator: " + message)
        result = subprocess.run([EMULATOR, "--help"], capture_output=True, text=True, timeout=10)
        self.assertEqual(result.returncode, 0)
        self.assertIn("--port", result.stdout)

    def check_lxi(self, emulator, options, channel):
        def lxi(command):
            result = subprocess.run(["lxi", "scpi", "-a", emulator.address, *options, command],
                                    capture_output=True, text=True, timeout=30, env=TOOL_ENV)
            self.assertEqual(result.returncode, 0, result.stderr)
            return result.stdout.strip()
        self.assertEqual(lxi("*IDN?"), "Halmeric,QDX7001,QDX7001-000001,1.00")
        lxi("INST:SEL %d;VOLT 4.5" % channel)
        self.assertEqual(lxi("INST:SEL %d;VOLT?" % channel), "4.5")
        self.assertEqual(lxi("SYST:ERR?"), '0,"No error"')

    def test_lxi_tools_talks_to_it_over_a_raw_socket(self):
        with Emulator() as emulator:
            self.check_lxi(emulator, ["-p", str(emulator.port), "-r"], 0)

    def test_lxi_tools_talks_to_it_over_vxi11(self):
        try:
            emulator = Emulator("--vxi11", "--portmapper-port", "111")
        except AssertionError as error:
            self.skipTest("no portmapper on port 111 here: %s" % error)
        with emulator:
            # Without a port lxi speaks VXI-11, through the portmapper on port 111.
            self.check_lxi(emulator, ["-t", "5"], 1)
            # Both find it by the portmapper's answer to a UDP broadcast: lxi-tools
            # (asking the instrument's identity too) and our library, configured with nothing.
            found = subprocess.run(["lxi", "discover", "-t", "2"], capture_output=True, text=True, timeout=60, env=TOOL_ENV)
            self.assertIn('Found "Halmeric,QDX7001,QDX7001-000001,1.00" on address 127.0.0.1', found.stdout)
            env = dict(os.environ, ZEVRA_VISA_CONF="/nonexistent/visa.conf")
            env.pop("ZEVRA_VXI11_PORTMAPPER_PORT", None)
            listed = subprocess.run([sys.executable, "-c",
                                     "import sys, pyvisa; print(pyvisa.ResourceManager(sys.argv[1]).list_resources('TCPIP?*'))",
                                     LIBVISA], capture_output=True, text=True, env=env, timeout=60)
            self.assertIn("'TCPIP0::127.0.0.1::inst0::INSTR'", listed.stdout, listed.stderr)

    def test_advertised_over_mdns_and_found_by_our_library(self):
        if subprocess.run(["avahi-daemon", "--check"], capture_output=True).returncode != 0:
            self.skipTest("no Avahi daemon runs here (scripts/test.sh starts one where it can)")
        with Emulator("--address", "0.0.0.0", "--hislip", "--mdns") as emulator:
            conf = tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False)
            conf.write("discovery-window 1500\n")
            conf.close()
            self.addCleanup(os.unlink, conf.name)
            program = ("import sys, pyvisa\n"
                       "rm = pyvisa.ResourceManager(sys.argv[1])\n"
                       "for name in rm.list_resources(sys.argv[2]):\n"
                       "    r = rm.open_resource(name, read_termination='\\n', write_termination='\\n')\n"
                       "    print(name, r.query('*IDN?'))\n"
                       "    r.close()\n")
            # The daemon may take a moment to announce a new service.
            deadline = time.monotonic() + 10
            while True:
                out = subprocess.run([sys.executable, "-c", program, LIBVISA,
                                      "TCPIP?*::hislip0,%d::INSTR" % emulator.ports["HISLIP"]],
                                     capture_output=True, text=True, env=dict(os.environ, ZEVRA_VISA_CONF=conf.name),
                                     timeout=60)
                if out.stdout or time.monotonic() > deadline:
                    break
            self.assertIn("Halmeric,QDX7001,QDX7001-000001,1.00", out.stdout, out.stderr)
            raw = subprocess.run([sys.executable, "-c", program, LIBVISA, "TCPIP?*::%d::SOCKET" % emulator.port],
                                 capture_output=True, text=True, env=dict(os.environ, ZEVRA_VISA_CONF=conf.name),
                                 timeout=60)
            self.assertIn("::%d::SOCKET Halmeric,QDX7001" % emulator.port, raw.stdout, raw.stderr)

    def test_pyvisa_and_our_library_get_the_same_answers(self):
        answers = {}
        for name, client_class in (("pyvisa-py", PyVisa), ("ours", OurVisa)):
            with Emulator() as emulator:
                answers[name] = self.run_exchanges(client_class, emulator.resource)
        self.assertEqual(answers["pyvisa-py"], answers["ours"])
        self.assertEqual(answers["ours"][0], "Halmeric,QDX7001,QDX7001-000001,1.00")
        self.assertEqual(answers["ours"][2], "2.5")
        self.assertEqual(answers["ours"][3], "0.125;1")
        self.assertEqual(answers["ours"][4], "1.25,0.125,0.15625")  # constant current
        self.assertEqual(answers["ours"][6], "16")
        self.assertEqual(answers["ours"][7], '-222,"Data out of range"')

    def run_exchanges(self, client_class, resource):
        client = client_class(resource)
        try:
            got = []
            for kind, text in EXCHANGES:
                if kind == "write":
                    client.write(text)
                else:
                    got.append(client.query(text))
            return got
        finally:
            client.close()

    def test_every_transport_gives_the_same_answers(self):
        with Emulator() as emulator:
            expected = self.run_exchanges(OurVisa, emulator.resource)

        def vxi11(emulator):
            # Our library is told where the portmapper is; PyVISA-py looks on port 111.
            os.environ["ZEVRA_VXI11_PORTMAPPER_PORT"] = str(emulator.ports["VXI11"])
            return "TCPIP0::%s::inst0::INSTR" % emulator.address

        def hislip(emulator):
            return "TCPIP0::%s::hislip0,%d::INSTR" % (emulator.address, emulator.ports["HISLIP"])

        cases = [("ours over VXI-11", OurVisa, vxi11, "0", ()), ("ours over HiSLIP", OurVisa, hislip, "0", ()),
                 ("ours over HiSLIP, overlapped", OurVisa, hislip, "0", ("--hislip-overlapped",)),
                 ("PyVISA-py over VXI-11", PyVisa, vxi11, "111", ())]
        for name, client_class, resource, portmapper, extra in cases:
            with self.subTest(name):
                try:
                    emulator = Emulator("--vxi11", "--hislip", "--portmapper-port", portmapper, *extra)
                except AssertionError as error:
                    # Port 111 may be taken (an rpcbind) or not ours to bind.
                    self.skipTest("no portmapper on port %s here: %s" % (portmapper, error))
                with emulator:
                    self.assertEqual(self.run_exchanges(client_class, resource(emulator)), expected)

if __name__ == "__main__":
    EMULATOR, LIBVISA = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
