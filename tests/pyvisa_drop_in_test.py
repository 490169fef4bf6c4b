# SPDX-License-Identifier: MIT
"""Stock PyVISA (Debian's python3-pyvisa, ctypes backend) given our VISA
library, against qdx-emulator over SOCKET, VXI-11, HiSLIP and GPIB (through
its "++" adapter): what a program written for a vendor's VISA does, unchanged.

usage: pyvisa_drop_in_test.py QDX_EMULATOR LIBVISA
"""
import os
import re
import subprocess
import sys
import tempfile
import threading
import time
import unittest

import pyvisa
from pyvisa import constants, errors

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import emulator_program_test  # noqa: E402  (its Emulator runs the program)

LIBVISA = None


class DropIn(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.emulator = emulator_program_test.Emulator("--vxi11", "--hislip", "--gpib-adapter", "--transcript",
                                                      os.path.join(tempfile.gettempdir(), "pyvisa-%d.log" % os.getpid()))
        cls.transcript = cls.emulator.process.args[-1]
        host, hislip = cls.emulator.address, cls.emulator.ports["HISLIP"]
        cls.names = {"SOCKET": cls.emulator.resource,
                     "VXI-11": "TCPIP0::%s::inst0::INSTR" % host,
                     "HiSLIP": "TCPIP0::%s::hislip0,%d::INSTR" % (host, hislip),
                     "GPIB": "GPIB0::5::INSTR"}
        cls.conf = tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False)
        cls.conf.write("# the bench\nalias psu %s\nresource %s\nresource %s\nno such entry\n"
                       "gpib-board 0 prologix tcp %s:%d\n" %
                       (cls.names["SOCKET"], cls.names["VXI-11"], cls.names["HiSLIP"], host, cls.emulator.ports["PRLGX"]))
        cls.conf.close()
        os.environ["ZEVRA_VISA_CONF"] = cls.conf.name
        os.environ["ZEVRA_VXI11_PORTMAPPER_PORT"] = str(cls.emulator.ports["VXI11"])
        cls.rm = pyvisa.ResourceManager(LIBVISA)

    @classmethod
    def tearDownClass(cls):
        cls.rm.close()
        cls.emulator.stop()
        os.unlink(cls.conf.name)
        os.unlink(cls.transcript)

    def open(self, name, **kwargs):
        resource = self.rm.open_resource(name, read_termination="\n", write_termination="\n", **kwargs)
        self.addCleanup(resource.close)
        if resource.resource_class == "SOCKET":
            resource.io_protocol = constants.IOProtocol.protocol4882_strs
        return resource

    def transcript_entries(self):
        """(time, direction, text) for each entry of the emulator's transcript file."""
        with open(self.transcript) as f:
            entries = [re.fullmatch(r"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{6}Z) ([<>]) (.*)", line)
                       for line in f.read().splitlines()]
        self.assertTrue(all(entries))
        return [e.groups() for e in entries]

    def transcript_lines(self):
        return [text for _, direction, text in self.transcript_entries() if direction == ">"]

    def test_resources_are_listed_parsed_and_aliased(self):
        # The configured resources come first; this machine's serial ports and
        # instruments found on the network follow, each once.
        listed = self.rm.list_resources("?*")
        self.assertEqual(listed[:3], (self.names["SOCKET"], self.names["VXI-11"], self.names["HiSLIP"]))
        self.assertEqual(len(set(listed)), len(listed))
        instr = self.rm.list_resources()  # "?*::INSTR"
        self.assertEqual(instr[:2], (self.names["VXI-11"], self.names["HiSLIP"]))
        self.assertTrue(all(name.endswith("::INSTR") for name in instr), instr)
        self.assertEqual(self.rm.list_resources("?*{VI_ATTR_TCPIP_PORT == %d}" % self.emulator.port),
                         (self.names["SOCKET"],))
        self.assertEqual(self.rm.list_resources("GPIB?*"), ("GPIB0::INTFC",))  # the configured board
        info = self.rm.resource_info("psu")
        self.assertEqual((info.interface_type, info.interface_board_number, info.resource_class, info.resource_name,
                          info.alias), (constants.InterfaceType.tcpip, 0, "SOCKET", self.names["SOCKET"], "psu"))
        self.assertEqual(self.rm.resource_info("TCPIP::%s" % self.emulator.address).resource_name,
                         self.names["VXI-11"])
        with self.assertRaises(errors.VisaIOError) as refused:
            self.rm.open_resource("TCPIP0::host::5025::SOCKET::extra")
        self.assertEqual(refused.exception.error_code, constants.StatusCode.error_invalid_resource_name)

    def test_each_transport_queries_reads_the_status_byte_and_triggers(self):
        for wire, name in list(self.names.items()) + [("alias", "psu")]:
            with self.subTest(wire):
                r = self.open(name)
                self.assertEqual(r.resource_manufacturer_name, "ZEVRA open instrument stack")
                self.assertEqual(r.query("*IDN?"), "Halmeric,QDX7001,QDX7001-000001,1.00")
                r.write("*CLS;*ESE 1;*SRE 32;*OPC")
                self.assertEqual(r.read_stb(), 0x60)  # ESB, and the summary bit under *SRE
                # A GPIB serial poll gives bit 6 as the request for service, which it clears.
                summary = 0 if wire == "GPIB" else 0x40
                r.write("*IDN?")
                time.sleep(0.05)
                self.assertEqual(r.read_stb(), 0x30 | summary)  # a reply waits: MAV
                self.assertEqual(r.read(), "Halmeric,QDX7001,QDX7001-000001,1.00")
                self.assertEqual(r.read_stb(), 0x20 | summary)
                before = len(self.transcript_lines())
                r.assert_trigger()
                self.assertEqual(r.query("*OPC?"), "1")
                seen = self.transcript_lines()[before:]
                self.assertEqual(seen, ["*TRG" if r.resource_class == "SOCKET" else "<trigger>", "*OPC?"])
                # Replies are in the transcript too, after what asked for them.
                entries = self.transcript_entries()
                self.assertEqual(entries[-2][1:], (">", "*OPC?"))
                self.assertEqual(entries[-1][1:], ("<", "1\\n"))
                self.assertLessEqual(entries[-2][0], entries[-1][0])

    def test_locks_between_resources(self):
        for wire, name in self.names.items():
            with self.subTest(wire):
                first, second = self.open(name), self.open(name)
                first.lock_excl()
                self.assertEqual(second.lock_state, constants.AccessModes.exclusive_lock)
                with self.assertRaises(errors.VisaIOError) as locked:
                    second.query("*IDN?")
                self.assertEqual(locked.exception.error_code, constants.StatusCode.error_resource_locked)
                start = time.monotonic()
                with self.assertRaises(errors.VisaIOError) as waited:
                    second.lock_excl(timeout=200)
                self.assertEqual(waited.exception.error_code, constants.StatusCode.error_timeout)
                self.assertLess(time.monotonic() - start, 0.2 + 0.1)
                # Released by the holder while the other waits.
                threading.Timer(0.05, first.unlock).start()
                second.lock_excl(timeout=5000)
                self.assertEqual(second.query("*OPC?"), "1")
                second.unlock()
                key = first.lock(requested_key=None)
                self.assertEqual(second.lock(requested_key=key), key)
                self.assertEqual(first.query("*OPC?"), "1")
                self.assertEqual(second.query("*OPC?"), "1")
                first.unlock()
                second.unlock()
                self.assertEqual(second.lock_state, constants.AccessModes.no_lock)

    def test_the_instruments_lock_holds_against_another_process(self):
        holder = """
import sys, time, pyvisa
from pyvisa import constants
# Locked at open (VXI-11: create_link's lock flag), or by a lock call after it.
if sys.argv[3] == "open":
    r = pyvisa.ResourceManager(sys.argv[1]).open_resource(sys.argv[2], access_mode=constants.AccessModes.exclusive_lock)
else:
    r = pyvisa.ResourceManager(sys.argv[1]).open_resource(sys.argv[2])
    r.lock_excl()
print("locked", flush=True)
sys.stdin.readline()
r.unlock()
print("unlocked", flush=True)
sys.stdin.readline()
"""
        for kind, how in (("VXI-11", "lock"), ("VXI-11", "open"), ("HiSLIP", "lock"), ("HiSLIP", "open")):
            with self.subTest(kind=kind, how=how):
                other = subprocess.Popen([sys.executable, "-c", holder, LIBVISA, self.names[kind], how],
                                         stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
                try:
                    self.assertEqual(other.stdout.readline(), "locked\n")
                    r = self.open(self.names[kind])
                    if kind == "VXI-11":  # a VXI-11 instrument refuses other links' I/O too
                        with self.assertRaises(errors.VisaIOError) as locked:
                            r.query("*IDN?")
                        self.assertEqual(locked.exception.error_code, constants.StatusCode.error_resource_locked)
                    start = time.monotonic()
                    with self.assertRaises(errors.VisaIOError) as waited:
                        r.lock_excl(timeout=200)
                    self.assertEqual(waited.exception.error_code, constants.StatusCode.error_timeout)
                    self.assertLess(time.monotonic() - start, 0.2 + 0.3)
                    other.stdin.write("\n")
                    other.stdin.flush()
                    self.assertEqual(other.stdout.readline(), "unlocked\n")
                    r.lock_excl(timeout=1000)
                    self.assertEqual(r.query("*OPC?"), "1")
                    r.unlock()
                    r.close()
                finally:
                    other.stdin.close()
                    other.wait(timeout=30)
                    other.stdout.close()

    def test_service_requests_by_wait_and_by_handler(self):
        srq = constants.EventType.service_request
        for kind in ("VXI-11", "HiSLIP"):
            with self.subTest(kind):
                r = self.open(self.names[kind])
                r.write("*CLS;*ESE 1;*SRE 32")
                r.enable_event(srq, constants.EventMechanism.queue)
                r.write("*OPC")
                response = r.wait_on_event(srq, 5000)
                self.assertEqual(response.event.event_type, srq)
                self.assertEqual(r.read_stb(), 0x60)
                timed_out = r.wait_on_event(srq, 100, capture_timeout=True)
                self.assertTrue(timed_out.timed_out)
                r.disable_event(srq, constants.EventMechanism.queue)

                seen = []
                arrived = threading.Event()

                def handler(session, event_type, context, user_handle):
                    seen.append((event_type, r.read_stb()))
                    arrived.set()
                    return constants.StatusCode.success

                r.install_handler(srq, handler)
                r.enable_event(srq, constants.EventMechanism.handler)
                r.write("*CLS;*OPC")
                self.assertTrue(arrived.wait(5))
                self.assertEqual(seen, [(srq, 0x60)])
                r.disable_event(srq, constants.EventMechanism.handler)
                r.uninstall_handler(srq, handler)
                r.write("*SRE 0;*CLS")

    def test_clear_timeout_and_read_raw(self):
        for wire, name in self.names.items():
            with self.subTest(wire):
                r = self.open(name)
                r.timeout = 300
                r.write("*IDN?")
                time.sleep(0.05)  # on a raw socket, clear drops only what has arrived
                r.clear()  # the reply nobody read is gone
                self.assertEqual(r.query("*OPC?"), "1")
                start = time.monotonic()
                with self.assertRaises(errors.VisaIOError) as late:
                    r.read()  # nothing was asked
                self.assertEqual(late.exception.error_code, constants.StatusCode.error_timeout)
                self.assertLess(time.monotonic() - start, 0.3 + 0.1)
                r.timeout = 5000
                self.assertEqual(r.query("*OPC?"), "1")
                # A whole reply, its line feed included, in one read_raw.
                r.write("SYST:ERR?")
                raw = r.read_raw()
                self.assertTrue(raw.endswith(b"\n"), raw)
                self.assertEqual(raw, b'0,"No error"\n')


    def test_libusb_is_loaded_only_when_usb_is_asked_for(self):
        """A program that talks to LAN instruments only never loads libusb (nor libudev under it)."""
        program = """
import sys, pyvisa
def loaded():
    with open("/proc/self/maps") as f:
        maps = f.read()
    return [name for name in ("libusb-1.0", "libudev") if name in maps]
rm = pyvisa.ResourceManager(sys.argv[1])
r = rm.open_resource(sys.argv[2], read_termination="\\n", write_termination="\\n")
print(r.query("*IDN?"))
print(loaded())
rm.list_resources("USB?*INSTR")
print(loaded())
"""
        run = subprocess.run([sys.executable, "-c", program, LIBVISA, self.names["SOCKET"]], capture_output=True,
                             text=True, timeout=60)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(run.stdout.splitlines(),
                         ["Halmeric,QDX7001,QDX7001-000001,1.00", "[]", "['libusb-1.0', 'libudev']"])

    def test_a_libusb_without_its_functions_is_reported_not_called(self):
        """A libusb that lacks what we call: USB resources are not found, and the trace says why."""
        with tempfile.TemporaryDirectory() as tmp:
            source = os.path.join(tmp, "empty.c")
            with open(source, "w") as f:
                f.write("int not_libusb;\n")
            subprocess.run(["cc", "-shared", "-fPIC", "-o", os.path.join(tmp, "libusb-1.0.so.0"), source], check=True)
            trace = os.path.join(tmp, "visa.trace")
            program = """
import sys, pyvisa
rm = pyvisa.ResourceManager(sys.argv[1])
try:
    rm.open_resource("USB0::0x1AB1::0x7001::X1::INSTR")
except pyvisa.errors.VisaIOError as e:
    print(e.error_code)
"""
            env = dict(os.environ, LD_LIBRARY_PATH=tmp, ZEVRA_VISA_TRACE=trace)
            run = subprocess.run([sys.executable, "-c", program, LIBVISA], env=env, capture_output=True, text=True,
                                 timeout=60)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertEqual(run.stdout.strip(), str(int(constants.StatusCode.error_resource_not_found)))
            with open(trace) as f:
                opens = [line for line in f if " viOpen " in line]
        self.assertEqual(len(opens), 1, opens)
        # The trace names the resource as opened (canonical, with its interface number), and in a
        # note why it could not be.
        self.assertIn(" viOpen USB0::0x1AB1::0x7001::X1::0::INSTR [libusb-1.0 lacks a function this library needs]"
                      " -> VI_ERROR_RSRC_NFOUND (0xBFFF0011)", opens[0])

    def test_the_trace_of_a_search_keeps_its_expression_and_count(self):
        with tempfile.TemporaryDirectory() as tmp:
            trace = os.path.join(tmp, "visa.trace")
            program = "import sys, pyvisa\nprint(len(pyvisa.ResourceManager(sys.argv[1]).list_resources('?*')))\n"
            env = dict(os.environ, ZEVRA_VISA_TRACE=trace)
            run = subprocess.run([sys.executable, "-c", program, LIBVISA], env=env, capture_output=True, text=True,
                                 timeout=60)
            self.assertEqual(run.returncode, 0, run.stderr)
            with open(trace) as f:
                finds = [line for line in f if " viFindRsrc " in line]
        self.assertEqual(len(finds), 1, finds)
        # The expression and the count, then what each LAN search said, however many notes there are.
        found = re.search(r" viFindRsrc \?\* \((\d+) found\) \[VXI-11 discovery: \d+ answered on port \d+\]", finds[0])
        self.assertTrue(found, finds[0])
        self.assertEqual(found.group(1), run.stdout.strip())

    def test_the_trace_has_a_whole_line_per_call(self):
        """A program run with ZEVRA_VISA_TRACE, four threads at once."""
        with tempfile.TemporaryDirectory() as tmp:
            trace = os.path.join(tmp, "visa.trace")
            program = """
import sys, threading, pyvisa
rm = pyvisa.ResourceManager(sys.argv[1])
def work(name):
    r = rm.open_resource(name, read_termination="\\n", write_termination="\\n")
    for _ in range(25):
        assert r.query("*IDN?").startswith("Halmeric")
    r.close()
threads = [threading.Thread(target=work, args=(name,)) for name in sys.argv[2:]]
for t in threads: t.start()
for t in threads: t.join()
r = rm.open_resource(sys.argv[2], write_termination="\\n")
r.write("*CLS;" * 80)
r.timeout = 100
try:
    r.read()
except pyvisa.errors.VisaIOError:
    pass
"""
            env = dict(os.environ, ZEVRA_VISA_TRACE=trace)
            names = [self.names["SOCKET"], self.names["VXI-11"], self.names["HiSLIP"], self.names["SOCKET"]]
            run = subprocess.run([sys.executable, "-c", program, LIBVISA, *names], env=env, capture_output=True,
                                 text=True, timeout=120)
            self.assertEqual(run.returncode, 0, run.stderr)
            with open(trace) as f:
                lines = f.read().splitlines()
        line_form = re.compile(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{6}Z thread (\d+) session 0x[0-9A-F]+ (vi\w+)"
                               r"(?: (.*))? -> (VI_\w+) \(0x[0-9A-F]{8}\) in \d+\.\d{6} s")
        parsed = [line_form.fullmatch(line) for line in lines]
        self.assertTrue(all(parsed), [line for line, p in zip(lines, parsed) if not p][:3])
        self.assertGreaterEqual(len({p.group(1) for p in parsed if p.group(2) == "viWrite"}), 4)  # four threads
        calls = [(p.group(2), p.group(3), p.group(4)) for p in parsed]
        self.assertIn(("viOpen", "%s (session" % self.names["HiSLIP"], "VI_SUCCESS"),
                      [(c, (d or "")[:len(self.names["HiSLIP"]) + 9], st) for c, d, st in calls])
        self.assertEqual(sum(1 for c, d, st in calls if c == "viWrite" and d == 'wrote "*IDN?\\n"'), 100)
        self.assertEqual(sum(1 for c, d, st in calls
                             if c == "viRead" and d == 'read "Halmeric,QDX7001,QDX7001-000001,1.00\\n"'), 100)
        long_write = [d for c, d, st in calls if c == "viWrite" and d.startswith('wrote "*CLS;')]
        self.assertEqual(len(long_write), 1)
        self.assertTrue(long_write[0].endswith('"... (401 bytes)'), long_write[0])
        self.assertIn(("viRead", None, "VI_ERROR_TMO"), calls)



class SerialLine(unittest.TestCase):
    """The emulator's serial line (a pseudo-terminal) through stock PyVISA on
    our library, and through PyVISA-py (pyserial) as an independent client."""

    @classmethod
    def setUpClass(cls):
        cls.emulator = emulator_program_test.Emulator("--serial", "--baud", "115200")
        cls.name = "ASRL%s::INSTR" % cls.emulator.serial_path
        cls.rm = pyvisa.ResourceManager(LIBVISA)

    @classmethod
    def tearDownClass(cls):
        cls.rm.close()
        cls.emulator.stop()

    def open_ours(self):
        r = self.rm.open_resource(self.name, read_termination="\n", write_termination="\n")
        self.addCleanup(r.close)
        return r

    def test_the_emulator_says_where_its_line_is(self):
        self.assertEqual(self.emulator.ports["ASRL"], 115200)
        self.assertTrue(os.path.exists(self.emulator.serial_path), self.emulator.serial_path)
        info = self.rm.resource_info(self.name)
        self.assertEqual((info.interface_type, info.resource_class, info.resource_name),
                         (constants.InterfaceType.asrl, "INSTR", self.name))

    def test_a_serial_session_queries_and_keeps_its_line_settings(self):
        r = self.open_ours()
        self.assertIsInstance(r, pyvisa.resources.SerialInstrument)
        self.assertEqual((r.baud_rate, r.data_bits, r.parity, r.stop_bits, r.flow_control, r.end_input),
                         (9600, 8, constants.Parity.none, constants.StopBits.one, constants.ControlFlow.none,
                          constants.SerialTermination.termination_char))
        r.baud_rate = 115200
        r.flow_control = constants.ControlFlow.xon_xoff
        self.assertEqual((r.baud_rate, r.flow_control), (115200, constants.ControlFlow.xon_xoff))
        with self.assertRaises(errors.VisaIOError) as refused:
            r.baud_rate = 12345
        self.assertEqual(refused.exception.error_code, constants.StatusCode.error_nonsupported_attribute_state)
        self.assertEqual(r.query("*IDN?"), "Halmeric,QDX7001,QDX7001-000001,1.00")
        r.io_protocol = constants.IOProtocol.protocol4882_strs
        r.write("*CLS;*ESE 1;*SRE 32;*OPC")
        self.assertEqual(r.read_stb(), 0x60)
        r.clear()
        self.assertEqual(r.read_stb(), 0)  # the clear sent *CLS
        self.assertEqual(r.bytes_in_buffer, 0)

    def test_another_process_holding_the_port_keeps_us_out(self):
        holder = ("import sys, pyvisa\n"
                  "r = pyvisa.ResourceManager(sys.argv[1]).open_resource(sys.argv[2])\n"
                  "print('holding', flush=True)\n"
                  "sys.stdin.readline()\n")
        other = subprocess.Popen([sys.executable, "-c", holder, LIBVISA, self.name],
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        try:
            self.assertEqual(other.stdout.readline(), "holding\n")
            with self.assertRaises(errors.VisaIOError) as busy:
                self.rm.open_resource(self.name)
            self.assertEqual(busy.exception.error_code, constants.StatusCode.error_resource_busy)
        finally:
            other.stdin.close()
            other.wait(timeout=30)
            other.stdout.close()
        self.assertEqual(self.open_ours().query("*OPC?"), "1")

    def test_pyvisa_py_and_our_library_agree_on_the_line(self):
        py = pyvisa.ResourceManager("@py")
        try:
            theirs = py.open_resource(self.name, read_termination="\n", write_termination="\n", timeout=2000)
            theirs.write("INST:SEL 1;:VOLT 2.5")
            their_idn, their_volt = theirs.query("*IDN?"), theirs.query(":VOLT?")
            theirs.close()
        finally:
            py.close()
        ours = self.open_ours()
        self.assertEqual(ours.query("*IDN?"), their_idn)
        self.assertEqual(ours.query("INST:SEL 1;:VOLT?"), their_volt)
        self.assertEqual(float(their_volt), 2.5)


if __name__ == "__main__":
    emulator_program_test.EMULATOR, LIBVISA = sys.argv[1], sys.argv[2]
    emulator_program_test.TOOL_ENV = dict(emulator_program_test.TOOL_ENV)
    unittest.main(argv=[sys.argv[0]], verbosity=2)
