# SPDX-License-Identifier: MIT
"""zevra-gateway as a program: its refusals, its configuration file, stock
PyVISA clients (PyVISA-py over VXI-11, our library over HiSLIP and VXI-11)
reaching qdx-emulator through it with exact transcripts, locks between
client processes (one of them killed while it holds the lock), and the
allow list refusing a client at connect.

usage: gateway_program_test.py BIN_DIR LIBVISA
"""
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import textwrap
import time
import unittest

import pyvisa
from pyvisa import constants, errors

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import emulator_program_test  # noqa: E402  (its Emulator runs the program)

BIN = LIBVISA = None


class Gateway:
    """Runs zevra-gateway; `ports` has what it prints it listens on."""

    stderr_text = ""

    def __init__(self, *args, config=None):
        if config is None:
            config = os.devnull  # not the machine's own /etc/zevra/gateway.conf
        self.process = subprocess.Popen([os.path.join(BIN, "zevra-gateway"), "--config", config, *args],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.ports = {}
        with open(config) as f:
            vxi11 = "--vxi11" in args or "vxi11" in f.read()
        for _ in range(1 + vxi11):
            line = self.process.stdout.readline().strip()
            match = re.fullmatch(r"listening (HISLIP|VXI11) (\S+) (\d+)", line)
            if not match:
                self.stop()
                raise AssertionError("unexpected line: %r, stderr %r" % (line, self.process.stderr.read()))
            self.ports[match.group(1)] = int(match.group(3))

    def hislip(self, name="hislip0", host="127.0.0.1"):
        return "TCPIP::%s::%s,%d::INSTR" % (host, name, self.ports["HISLIP"])

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        try:
            return self.process.wait(timeout=10)
        finally:
            self.stderr_text = self.process.stderr.read()
            self.process.stdout.close()
            self.process.stderr.close()


def run_gateway(*args):
    return subprocess.run([os.path.join(BIN, "zevra-gateway"), *args], capture_output=True, text=True, timeout=30)


def transcript_lines(path):
    with open(path) as f:
        return [line.split(" ", 2)[2] for line in f.read().splitlines() if line.split(" ", 2)[1] == ">"]


class GatewayProgram(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.transcript = os.path.join(tempfile.gettempdir(), "gateway-%d.log" % os.getpid())
        cls.emulator = emulator_program_test.Emulator("--transcript", cls.transcript)
        cls.rm = pyvisa.ResourceManager(LIBVISA)

    @classmethod
    def tearDownClass(cls):
        cls.rm.close()
        cls.emulator.stop()
        os.unlink(cls.transcript)

    def open(self, rm, name, **kwargs):
        resource = rm.open_resource(name, read_termination="\n", write_termination="\n", **kwargs)
        self.addCleanup(resource.close)
        return resource

    def test_refuses_what_is_unsafe_or_unclear(self):
        ok = "hislip0=" + self.emulator.resource
        with tempfile.NamedTemporaryFile("w", suffix=".conf") as bad_config, \
                tempfile.NamedTemporaryFile("w", suffix=".conf") as hostile_config:
            bad_config.write("# the bench\nmap %s\nlisten-on 0.0.0.0\n" % ok)
            bad_config.flush()
            hostile_config.write("\x1b]0;owned\x07 x\n")  # would retitle the terminal the refusal is shown on
            hostile_config.flush()
            cases = [
                ([], "nothing to serve: give --map NAME=RESOURCE"),
                (["--map", "hislip0"], 'not NAME=RESOURCE: "hislip0"'),
                (["--map", "hislip0=COM1"], 'not a VISA resource name: "COM1"'),
                (["--map", "my inst=" + self.emulator.resource], "a served name has no spaces"),
                (["--map", ok, "--map", ok], "the name hislip0 is mapped twice"),
                (["--map", ok, "--listen", "0.0.0.0"],
                 "listening on 0.0.0.0 needs --allow with the address ranges of the clients to admit"),
                (["--map", ok, "--listen", "0.0.0.0", "--allow", "10.0.0.0/8"],
                 "listening on 0.0.0.0 needs --insecure: TLS is not built yet"),
                (["--map", ok, "--allow", "10.0.0.0/33"], 'not a prefix length for IPv4: "10.0.0.0/33"'),
                (["--map", ok, "--hislip-port", "many"], "--hislip-port"),
                (["--map", ok, "--hislip-port", "70000"], "--hislip-port: Value 70000 not in range 0 to 65535"),
                (["--map", ok, "--vxi11", "--portmapper-port", "65536"],
                 "--portmapper-port: Value 65536 not in range 0 to 65535"),
                (["--map", ok, "--io-timeout", "0"], "--io-timeout: must be at least 1"),
                (["--map", ok, "--max-message", "00"], "--max-message: must be at least 1"),
                (["--config", "/nonexistent/gateway.conf"], "cannot read /nonexistent/gateway.conf"),
                (["--config", bad_config.name], "%s:3: no such setting: listen-on" % bad_config.name),
                (["--config", hostile_config.name], "%s:1: no such setting: \\x1b]0;owned\\x07\n" % hostile_config.name),
            ]
            for args, message in cases:
                with self.subTest(args=args):
                    if "--config" not in args:
                        args = ["--config", os.devnull] + args
                    r = run_gateway(*args)
                    self.assertEqual(r.returncode, 2, r.stderr)
                    self.assertIn(message, r.stderr)
                    self.assertEqual(r.stdout, "")

    def test_the_configuration_file_holds_the_same_settings(self):
        with tempfile.NamedTemporaryFile("w", suffix=".conf", encoding="utf-8") as config:
            # saved as a Windows editor saves UTF-8: a byte order mark first
            config.write("\ufeff" + textwrap.dedent("""\
                # served to the lab
                map hislip0=%s
                map inst0=%s   # the same supply, for VXI-11 clients
                hislip-port 0
                vxi11
                portmapper-port 0
                io-timeout 5000
                """ % (self.emulator.resource, self.emulator.resource)))
            config.flush()
            gateway = Gateway(config=config.name)
            try:
                self.assertEqual(set(gateway.ports), {"HISLIP", "VXI11"})
                os.environ["ZEVRA_VXI11_PORTMAPPER_PORT"] = str(gateway.ports["VXI11"])
                for name in (gateway.hislip(), "TCPIP::127.0.0.1::inst0::INSTR"):
                    with self.subTest(name):
                        r = self.open(self.rm, name)
                        self.assertEqual(r.query("*IDN?"), "Halmeric,QDX7001,QDX7001-000001,1.00")
                        r.close()
            finally:
                self.assertEqual(gateway.stop(), 0)

    def test_stock_clients_reach_the_instrument_exactly(self):
        # PyVISA-py knows VXI-11 only, and finds the portmapper on port 111 only.
        try:
            gateway = Gateway("--map", "hislip0=" + self.emulator.resource, "--map", "inst0=" + self.emulator.resource,
                              "--hislip-port", "0", "--vxi11", "--portmapper-port", "111")
        except AssertionError as error:
            self.skipTest("no portmapper on port 111 here: %s" % error)
        try:
            os.environ["ZEVRA_VXI11_PORTMAPPER_PORT"] = "111"
            clients = [("ours over HiSLIP", self.rm, gateway.hislip()),
                       ("ours over VXI-11", self.rm, "TCPIP::127.0.0.1::inst0::INSTR"),
                       ("PyVISA-py over VXI-11", pyvisa.ResourceManager("@py"), "TCPIP::127.0.0.1::inst0::INSTR")]
            for client, rm, name in clients:
                with self.subTest(client):
                    before = len(transcript_lines(self.transcript))
                    r = self.open(rm, name, timeout=3000)
                    self.assertEqual(r.query("*IDN?"), "Halmeric,QDX7001,QDX7001-000001,1.00")
                    r.write("VOLT 2.5")
                    self.assertEqual(float(r.query("VOLT?")), 2.5)
                    r.write("*CLS;*ESE 1;*SRE 32;*OPC")
                    self.assertEqual(r.read_stb(), 0x60)  # through the gateway from the instrument's own
                    r.close()
                    time.sleep(0.05)
                    self.assertEqual(transcript_lines(self.transcript)[before:],
                                     ["*IDN?", "VOLT 2.5", "VOLT?", "*CLS;*ESE 1;*SRE 32;*OPC", "*STB?"])
        finally:
            self.assertEqual(gateway.stop(), 0)

    def test_locks_hold_between_processes_and_go_with_a_killed_client(self):
        gateway = Gateway("--map", "hislip0=" + self.emulator.resource, "--hislip-port", "0")
        self.addCleanup(gateway.stop)
        holder = subprocess.Popen([sys.executable, "-c", textwrap.dedent("""\
            import sys, time, pyvisa
            r = pyvisa.ResourceManager(sys.argv[1]).open_resource(sys.argv[2])
            r.lock_excl()
            print("locked", flush=True)
            time.sleep(60)
            """), LIBVISA, gateway.hislip()], stdout=subprocess.PIPE, text=True)
        self.addCleanup(holder.stdout.close)
        self.addCleanup(holder.wait)
        self.addCleanup(holder.kill)
        self.assertEqual(holder.stdout.readline().strip(), "locked")
        r = self.open(self.rm, gateway.hislip())
        with self.assertRaises(errors.VisaIOError) as refused:
            r.lock_excl(timeout=200)
        self.assertEqual(refused.exception.error_code, constants.StatusCode.error_timeout)
        holder.kill()
        start = time.monotonic()
        r.lock_excl(timeout=3000)
        self.assertLess(time.monotonic() - start, 2.5)  # a bound on a hang, not a timing
        self.assertEqual(r.query("*OPC?"), "1")
        r.unlock()

    def test_the_allow_list_refuses_other_clients_at_connect(self):
        address = self.local_address()
        gateway = Gateway("--map", "hislip0=" + self.emulator.resource, "--hislip-port", "0",
                          "--listen", "0.0.0.0", "--allow", "198.51.100.0/24", "--insecure")
        try:
            port = gateway.ports["HISLIP"]
            with socket.create_connection((address, port), timeout=5, source_address=(address, 0)) as refused:
                self.assertEqual(refused.recv(16), b"", "closed at once")
            # Loopback clients are always admitted.
            r = self.open(self.rm, gateway.hislip())
            self.assertEqual(r.query("*OPC?"), "1")
            r.close()
        finally:
            self.assertEqual(gateway.stop(), 0)
        self.assertIn("zevra-gateway: refused %s: not in --allow" % address, gateway.stderr_text)

    def local_address(self):
        """A non-loopback IPv4 address of this machine, to connect from."""
        try:
            for info in socket.getaddrinfo(socket.gethostname(), None, socket.AF_INET):
                if not info[4][0].startswith("127."):
                    return info[4][0]
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
                probe.connect(("192.0.2.1", 9))
                address = probe.getsockname()[0]
                if not address.startswith("127."):
                    return address
        except OSError:
            pass
        self.skipTest("this machine has no address besides loopback")


if __name__ == "__main__":
    BIN, LIBVISA = sys.argv[1], sys.argv[2]
    emulator_program_test.EMULATOR = os.path.join(BIN, "qdx-emulator")
    emulator_program_test.LIBVISA = LIBVISA
    unittest.main(argv=sys.argv[:1], verbosity=2)
