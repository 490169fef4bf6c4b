# SPDX-License-Identifier: MIT
"""The example programs, built against the installed-style libraries, and the
README's C, Python and PyVISA examples, run against qdx-emulator through a
store that ivi-config wrote.

usage: examples_test.py BIN_DIR SOURCE_DIR
"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import unittest

BIN = SOURCE = None


def tool(name):
    return os.path.join(BIN, name)


class Examples(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.emulator = subprocess.Popen([tool("qdx-emulator"), "--port", "0", "--load", "1=10"], stdout=subprocess.PIPE, text=True)
        match = re.fullmatch(r"listening SOCKET (\S+) (\d+)", cls.emulator.stdout.readline().strip())
        cls.resource = "TCPIP0::%s::%s::SOCKET" % match.groups()
        cls.dir = tempfile.TemporaryDirectory()
        cls.env = dict(os.environ, IVICONFIGSERVERDEFAULT=os.path.join(cls.dir.name, "store.xml"))
        for args in (["create"], ["register-driver"], ["add-asset", "emulator", cls.resource],
                     ["add-session", "QDX", "--asset", "emulator"], ["add-logical-name", "PSU1", "QDX"]):
            subprocess.run([tool("ivi-config"), *args], env=cls.env, check=True, capture_output=True)

    @classmethod
    def tearDownClass(cls):
        cls.emulator.send_signal(signal.SIGTERM)
        cls.emulator.wait(timeout=10)
        cls.emulator.stdout.close()
        cls.dir.cleanup()

    def run_example(self, *args, expect=0):
        result = subprocess.run([tool(args[0]), *args[1:]], env=self.env, capture_output=True, text=True,
                                timeout=60)
        self.assertEqual(result.returncode, expect, result.stdout + result.stderr)
        return result

    def test_visa_identify(self):
        out = self.run_example("visa_identify", self.resource).stdout
        self.assertIn("Model:        QDX7001", out)
        self.assertIn(':SYST:ERR?    0,"No error"', out)

    def test_open_by_logical_name(self):
        out = self.run_example("open_by_logical_name", "PSU1", "QueryInstrStatus=1").stdout
        self.assertIn("Instrument:        Halmeric QDX7001", out)
        self.assertIn("Firmware revision: 1.00", out)
        self.assertIn("Self-test:         0 (Selftest passed)", out)
        self.assertIn("Error query:       0, No error", out)

    def test_output_and_list(self):
        out = self.run_example("output_and_list", "PSU1", "QueryInstrStatus=1").stdout
        for line in ("  voltage level      5.000 V", "  current limit      1.000 A", "  output                on",
                     "  state                 CV", "CH1            5.0000       0.5000     2.5000",
                     "0               1.0000       0.1000", "2               4.0000       0.4000"):
            self.assertIn(line, out)

    def test_status_and_errors(self):
        out = self.run_example("status_and_errors", "PSU1", "QueryInstrStatus=1").stdout
        self.assertIn("CH1 summary condition: 1 (constant current)", out)
        self.assertIn("Status byte:           72 (questionable summary set)", out)
        self.assertIn("Setting 1000 V:        0xBFFA0001 (instrument error detected)", out)
        self.assertIn('  -222, Data out of range\n  0, No error', out)

    def test_the_examples_on_a_simulated_session(self):
        out = self.run_example("open_by_logical_name", "anything", "Simulate=1").stdout
        self.assertIn("Firmware revision: Sim1.0.0.0", out)
        out = self.run_example("output_and_list", "anything", "Simulate=1").stdout
        self.assertIn("  voltage level      5.000 V", out)
        self.run_example("status_and_errors", "anything", "Simulate=1")

    def readme_block(self, language, containing):
        with open(os.path.join(SOURCE, "README.md")) as f:
            blocks = re.findall(r"(?ms)^```%s\n(.*?)^```" % language, f.read())
        (block,) = [b for b in blocks if containing in b]
        # The README's examples name the emulator on its usual port and the installed library.
        return (block.replace("TCPIP0::127.0.0.1::5025::SOCKET", self.resource)
                .replace("/usr/lib/libvisa.so.1", os.path.join(BIN, "..", "lib", "libvisa.so.1")))

    def run_python(self, source):
        env = dict(self.env, PYTHONPATH=os.path.join(SOURCE, "python"), PYTHONDONTWRITEBYTECODE="1",
                   ZEVRA_LIBRARY=os.path.join(BIN, "..", "lib", "libZEVRA_64.so.1"))
        if os.environ.get("ZEVRA_PYTHON_PRELOAD"):  # a sanitized build: its runtimes load first
            env.update(LD_PRELOAD=os.environ["ZEVRA_PYTHON_PRELOAD"], ASAN_OPTIONS="detect_leaks=0")
        result = subprocess.run(["/usr/bin/python3", "-c", source], env=env, capture_output=True, text=True,
                                timeout=60)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        return result.stdout

    def test_the_readmes_c_example(self):
        with tempfile.TemporaryDirectory() as work:
            source, program = os.path.join(work, "hello.c"), os.path.join(work, "hello")
            with open(source, "w") as f:
                f.write(self.readme_block("c", "ZEVRA_Measure"))
            lib = os.path.join(BIN, "..", "lib")
            sanitizers = os.environ.get("ZEVRA_SANITIZE_FLAGS", "").split()  # as the libraries were built
            subprocess.run(["cc", "-Wall", "-Werror", *sanitizers, source, "-I" + os.path.join(SOURCE, "include"),
                            "-I" + os.path.join(SOURCE, "platform", "visa", "include"), "-L" + lib, "-lZEVRA_64",
                            "-Wl,-rpath," + lib, "-o", program], check=True)
            result = subprocess.run([program], env=self.env, capture_output=True, text=True, timeout=60)
        self.assertEqual((result.returncode, result.stdout), (0, "CH1 measures 5.000 V\n"), result.stderr)

    def test_the_readmes_python_example(self):
        out = self.run_python(self.readme_block("python", "import zevra"))
        first, error = out.split("\n", 1)
        self.assertEqual(first, "QDX7001 5.0")
        self.assertIn("-222", error)  # the instrument's own complaint about 1000 V

    def test_the_readmes_pyvisa_example(self):
        out = self.run_python(self.readme_block("python", "import pyvisa"))
        self.assertIn("Halmeric,QDX7001", out)

    def test_failure_prints_the_recorded_description(self):
        err = self.run_example("open_by_logical_name", "PSU1", "Simulate=maybe", expect=1).stderr
        self.assertIn("status 0xBFFA004C: The 'maybe' value in the option string is unknown.", err)
        err = self.run_example("open_by_logical_name", "TCPIP0::127.0.0.1::1::SOCKET", "", expect=1).stderr
        self.assertIn("status 0xBFFF0011", err)


if __name__ == "__main__":
    BIN, SOURCE = sys.argv[1:3]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
